#include "design/CDesignDBImpl.h"

#include "design/DesignTableWalk.h"
#include "document/FieldReaders.h"
#include "plugin/CMBMBNReaderImpl.h"
#include "progress/TolvProcessDisplayServerWarper.h"

using namespace building_designDB;
using document::readChildText;

namespace {

const wchar_t kStepText[] = L"Import All Layer Basic Data";
constexpr int kStepCount = 31;

// The n-th child element of that name (0 = the first), as a handle.
TiXmlHandle child(const TiXmlHandle& holder, const char* name, int index = 0)
{
    return TiXmlHandle(holder.ToElement()).ChildElement(name, index);
}

bool readGlobalRow(const TiXmlHandle& v, S_RcDgnGlobal_D& r)
{
    return readChildText(v, "Gamma0", r.Gamma0);
}

bool readBeamRow(const TiXmlHandle& v, S_RcDesignBeam_D& r)
{
    return readChildText(v, "TopCovering", r.TopCovering)
        && readChildText(v, "BottomCovering", r.BottomCovering)
        && readChildText(v, "SideCovering", r.SideCovering)
        && readChildText(v, "SeismicGrade", r.SeismicGrade)
        && readChildText(v, "SeismicIntensity", r.SeismicIntensity)
        && CDesignDBImpl::readBeamSectionDesign(child(v, "ISection"), r.ISection)
        && CDesignDBImpl::readBeamSectionDesign(child(v, "MSection"), r.MSection)
        && CDesignDBImpl::readBeamSectionDesign(child(v, "JSection"), r.JSection);
}

bool readColumnRow(const TiXmlHandle& v, S_RcDesignColumn_D& r)
{
    return readChildText(v, "Covering", r.Covering)
        && readChildText(v, "SeismicGrade", r.SeismicGrade)
        && readChildText(v, "SeismicIntensity", r.SeismicIntensity)
        && readChildText(v, "NFcA", r.NFcA)
        && readChildText(v, "K_Major", r.K_Major)
        && readChildText(v, "K_Minor", r.K_Minor)
        && readChildText(v, "MainBarGrade", r.MainBarGrade)
        && readChildText(v, "StirrupGrade", r.StirrupGrade)
        && readChildText(v, "ReqCornerAs", r.ReqCornerAs)
        && readChildText(v, "ReqMajorAxisAs", r.ReqMajorAxisAs)
        && readChildText(v, "ReqMinorAxisAs", r.ReqMinorAxisAs)
        && readChildText(v, "ReqMajorStirrupAsOfCenter", r.ReqMajorStirrupAsOfCenter)
        && readChildText(v, "ReqMinorStirrupAsOfCenter", r.ReqMinorStirrupAsOfCenter)
        && readChildText(v, "ReqMajorStirrupAsOfEnd", r.ReqMajorStirrupAsOfEnd)
        && readChildText(v, "ReqMinorStirrupAsOfEnd", r.ReqMinorStirrupAsOfEnd)
        && readChildText(v, "StirrupSpace", r.StirrupSpace)
        && CDesignDBImpl::readBarGroup(child(v, "CornerBar"), r.CornerBar)
        && CDesignDBImpl::readBarGroup(child(v, "MidMajorAxisBar"), r.MidMajorAxisBar)
        && CDesignDBImpl::readBarGroup(child(v, "MidMinorAxisBar"), r.MidMinorAxisBar)
        && CDesignDBImpl::readBarLayout(child(v, "StirrupBarOfCircle"), r.StirrupBarOfCircle)
        && CDesignDBImpl::readBarLayout(child(v, "MajorStirrupBarOfCenter"), r.MajorStirrupBarOfCenter)
        && CDesignDBImpl::readBarLayout(child(v, "MinorStirrupBarOfCenter"), r.MinorStirrupBarOfCenter)
        && CDesignDBImpl::readBarLayout(child(v, "MajorStirrupBarOfEnd"), r.MajorStirrupBarOfEnd)
        && CDesignDBImpl::readBarLayout(child(v, "MinorStirrupBarOfEnd"), r.MinorStirrupBarOfEnd)
        && CDesignDBImpl::readForceSet(child(v, "ForceUp"), r.ForceUp, true)
        && CDesignDBImpl::readForceSet(child(v, "ForceCent"), r.ForceCent, true)
        && CDesignDBImpl::readForceSet(child(v, "ForceDown"), r.ForceDown, true);
}

bool readWallRow(const TiXmlHandle& v, S_RcDesignWall_D& r)
{
    return readChildText(v, "Dw", r.Dw)
        && readChildText(v, "De", r.De)
        && readChildText(v, "Qe", r.Qe)
        && readChildText(v, "Qi", r.Qi)
        && readChildText(v, "SeismicGrade", r.SeismicGrade)
        && readChildText(v, "SeismicIntensity", r.SeismicIntensity)
        && readChildText(v, "NFcA", r.NFcA)
        && readChildText(v, "HBarGrade", r.HBarGrade)
        && readChildText(v, "VBarGrade", r.VBarGrade)
        && readChildText(v, "ReqAsHorizontal", r.ReqAsHorizontal)
        && readChildText(v, "ReqAsVertical", r.ReqAsVertical)
        && readChildText(v, "HorSpace", r.HorSpace)
        && readChildText(v, "VerRate", r.VerRate)
        && CDesignDBImpl::readForceSet(child(v, "ForceUp"), r.ForceUp, false)
        && CDesignDBImpl::readForceSet(child(v, "ForceDown"), r.ForceDown, true);
}

bool readWallLLRow(const TiXmlHandle& v, S_RcDesignWallLL_D& r)
{
    return readChildText(v, "SeismicGrade", r.SeismicGrade)
        && readChildText(v, "SeismicIntensity", r.SeismicIntensity)
        && readChildText(v, "MainBarGrade", r.MainBarGrade)
        && readChildText(v, "StirrupBarGrade", r.StirrupBarGrade)
        && readChildText(v, "Space", r.Space)
        && readChildText(v, "ReqTopAs", r.ReqTopAs)
        && readChildText(v, "ReqBottomAs", r.ReqBottomAs)
        && readChildText(v, "ReqStirrupAs", r.ReqStirrupAs)
        && readChildText(v, "ReqSideAs", r.ReqSideAs)
        && CDesignDBImpl::readBarGroup(child(v, "TopRebar"), r.TopRebar)
        && CDesignDBImpl::readBarGroup(child(v, "BottomRebar", 0), r.BottomRebar[0])
        && CDesignDBImpl::readBarGroup(child(v, "BottomRebar", 1), r.BottomRebar[1])
        && CDesignDBImpl::readStirrupSet(child(v, "StirrupRebar"), r.StirrupRebar);
}

bool readWallColumnRow(const TiXmlHandle& v, S_RcDesignWallColumn_D& r)
{
    return readChildText(v, "SeismicGrade", r.SeismicGrade)
        && readChildText(v, "SeismicIntensity", r.SeismicIntensity)
        && readChildText(v, "MainBarGrade", r.MainBarGrade)
        && readChildText(v, "HoopBarGrade", r.HoopBarGrade)
        && readChildText(v, "ReqMainAs", r.ReqMainAs)
        && readChildText(v, "ReqHoopAs", r.ReqHoopAs)
        && readChildText(v, "LemdaVs", r.LemdaVs)
        && readChildText(v, "HoopDia", r.HoopDia)
        && readChildText(v, "HoopSpace", r.HoopSpace);
}

bool readSlabRow(const TiXmlHandle& v, S_RcDesignSlab_D& r)
{
    return readChildText(v, "WeaponLoad", r.WeaponLoad)
        && readChildText(v, "NuclearWeaponLoad", r.NuclearWeaponLoad)
        && readChildText(v, "BottomBarGrade", r.BottomBarGrade)
        && readChildText(v, "TopBarGrade", r.TopBarGrade)
        && readChildText(v, "SupportBarGrade", r.SupportBarGrade)
        && readChildText(v, "ReqBottomAs_X", r.ReqBottomAs_X)
        && readChildText(v, "ReqBottomAs_Y", r.ReqBottomAs_Y)
        && readChildText(v, "ReqTopAs_X", r.ReqTopAs_X)
        && readChildText(v, "ReqTopAs_Y", r.ReqTopAs_Y)
        && CDesignDBImpl::readValueList(child(v, "ReqSupportAs"), r.ReqSupportAs)
        && readChildText(v, "MomemtKOnX", r.MomemtKOnX)
        && readChildText(v, "MomemtKOnY", r.MomemtKOnY)
        && CDesignDBImpl::readValueList(child(v, "MomentKOnSupports"), r.MomentKOnSupports)
        && readChildText(v, "MomemtQOnX", r.MomemtQOnX)
        && readChildText(v, "MomemtQOnY", r.MomemtQOnY)
        && CDesignDBImpl::readValueList(child(v, "MomentQOnSupports"), r.MomentQOnSupports);
}

} // namespace

CDesignDBImpl::CDesignDBImpl(CMBMBNReaderImpl* reader) : m_pReader(reader) {}

CDesignDBImpl::~CDesignDBImpl() = default;

bool CDesignDBImpl::importDesignDB()
{
    // Step 27 has no table of its own: steps 27 and 28 go out back to back.
    struct Step {
        int number;
        bool (CDesignDBImpl::*read)();
    };
    static constexpr Step kSteps[] = {
        {24, &CDesignDBImpl::readRcDgnGlobalTable},   {25, &CDesignDBImpl::readBeamDesignTable},
        {26, &CDesignDBImpl::readColumnDesignTable},  {27, nullptr},
        {28, &CDesignDBImpl::readWallDesignTable},    {29, &CDesignDBImpl::readWallLLDesignTable},
        {30, &CDesignDBImpl::readWallColumnDesignTable}, {31, &CDesignDBImpl::readSlabDesignTable},
    };
    TolvProcessDisplayServerWarper& progress = TolvProcessDisplayServerWarper::instance();
    progress.setProcessDelayInformation(1, kStepCount);
    for (const Step& step : kSteps) {
        progress.progressMessage(step.number, kStepCount, kStepText, L"");
        if (step.read)
            (this->*step.read)();
    }
    return true;
}

bool CDesignDBImpl::readRcDgnGlobalTable()
{
    return design::walkDesignTable(m_pReader->sectionIndex(), "RcDgnGlobalTable", m_pRcDgnGlobal, readGlobalRow);
}

bool CDesignDBImpl::readBeamDesignTable()
{
    return design::walkDesignTable(m_pReader->sectionIndex(), "BeamTable", m_pRcDesignBeam, readBeamRow);
}

bool CDesignDBImpl::readColumnDesignTable()
{
    return design::walkDesignTable(m_pReader->sectionIndex(), "ColumnTable", m_pRcDesignColumn, readColumnRow);
}

bool CDesignDBImpl::readWallDesignTable()
{
    return design::walkDesignTable(m_pReader->sectionIndex(), "WallTable", m_pRcDesignWall, readWallRow);
}

bool CDesignDBImpl::readWallLLDesignTable()
{
    return design::walkDesignTable(m_pReader->sectionIndex(), "WallLLTable", m_pRcDesignWallLL, readWallLLRow);
}

bool CDesignDBImpl::readWallColumnDesignTable()
{
    return design::walkDesignTable(m_pReader->sectionIndex(), "WallColumnTable", m_pRcDesignWallColumn,
                                   readWallColumnRow);
}

bool CDesignDBImpl::readSlabDesignTable()
{
    return design::walkDesignTable(m_pReader->sectionIndex(), "SlabTable", m_pRcDesignSlab, readSlabRow);
}

bool CDesignDBImpl::readBarGroup(const TiXmlHandle& e, S_RcBarGroup& g)
{
    return readChildText(e, "RebarName", g.RebarName)
        && readChildText(e, "Grade", g.Grade)
        && readChildText(e, "Dia", g.Dia)
        && readChildText(e, "Number", g.Number);
}

bool CDesignDBImpl::readBarLayout(const TiXmlHandle& e, S_RcBarLayout& l)
{
    return readChildText(e, "RebarName", l.RebarName)
        && readChildText(e, "Grade", l.Grade)
        && readChildText(e, "Number", l.Number)
        && readChildText(e, "Dia", l.Dia)
        && readChildText(e, "Space", l.Space);
}

bool CDesignDBImpl::readStirrupSet(const TiXmlHandle& e, S_RcStirrupSet& s)
{
    return readChildText(e, "RebarName", s.RebarName)
        && readChildText(e, "Grade", s.Grade)
        && readChildText(e, "Dia", s.Dia)
        && readChildText(e, "Space", s.Space)
        && readChildText(e, "Legs", s.Legs);
}

bool CDesignDBImpl::readForceSet(const TiXmlHandle& e, S_RcForceSet& f, bool withT)
{
    return readChildText(e, "N", f.N)
        && readChildText(e, "Mx", f.Mx)
        && readChildText(e, "My", f.My)
        && readChildText(e, "Vx", f.Vx)
        && readChildText(e, "Vy", f.Vy)
        && (!withT || readChildText(e, "T", f.T));
}

bool CDesignDBImpl::readBeamSectionDesign(const TiXmlHandle& e, S_RcBeamSectionDesign& s)
{
    return readChildText(e, "MainBarGrade", s.MainBarGrade)
        && readChildText(e, "StirrupGrade", s.StirrupGrade)
        && readChildText(e, "SideBarGrade", s.SideBarGrade)
        && readChildText(e, "ReqAsTop", s.ReqAsTop)
        && readChildText(e, "ReqAsTopCorner", s.ReqAsTopCorner)
        && readChildText(e, "ReqAsTopMiddle", s.ReqAsTopMiddle)
        && readChildText(e, "ReqAsBottom", s.ReqAsBottom)
        && readChildText(e, "ReqAsTorsion", s.ReqAsTorsion)
        && readChildText(e, "ReqAsStirrup", s.ReqAsStirrup)
        && readChildText(e, "StirrupSpace", s.StirrupSpace)
        && readChildText(e, "MaxRebarRatio", s.MaxRebarRatio)
        && readChildText(e, "MinRebarRatio", s.MinRebarRatio)
        && readBarLayout(child(e, "StirrupBar"), s.StirrupBar)
        && readBarGroup(child(e, "SideBar"), s.SideBar)
        && readChildText(e, "TopCornerBar", s.TopCornerBar)
        && readChildText(e, "TopMiddleBar", s.TopMiddleBar)
        && readChildText(e, "BottomBar", s.BottomBar)
        && readForceSet(child(e, "Force"), s.Force, true)
        && readForceSet(child(e, "Force_Q"), s.Force_Q, true)
        && readForceSet(child(e, "Force_K"), s.Force_K, true);
}

bool CDesignDBImpl::readValueList(const TiXmlHandle& e, TableInterface<int, double>* values)
{
    double value = 0.0;
    int position = 0;
    TiXmlElement* entry = TiXmlHandle(e.ToElement()).FirstChildElement("double").ToElement();
    for (; entry; entry = entry->NextSiblingElement()) {
        document::readReal(entry->GetText(), value);
        values->AddData(position, value);
        ++position;
    }
    return true;
}
