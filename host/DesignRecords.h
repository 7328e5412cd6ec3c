// Records of the host's reinforced-concrete design store. Every field is
// the text of its element; the slab record also holds three value lists.
#pragma once

#include <string>

#include "host/HostApi.h"
#include "host/TableInterface.h"

namespace building_designDB {

struct HOST_API S_RcDgnGlobal_D {
    S_RcDgnGlobal_D();
    std::string Gamma0;
};

struct HOST_API S_RcBarGroup {
    S_RcBarGroup();
    std::string RebarName;
    std::string Grade;
    std::string Dia;
    std::string Number;
};

struct HOST_API S_RcBarLayout {
    S_RcBarLayout();
    std::string RebarName;
    std::string Grade;
    std::string Number;
    std::string Dia;
    std::string Space;
};

struct HOST_API S_RcStirrupSet {
    S_RcStirrupSet();
    std::string RebarName;
    std::string Grade;
    std::string Dia;
    std::string Space;
    std::string Legs;
};

struct HOST_API S_RcForceSet {
    S_RcForceSet();
    std::string N;
    std::string Mx;
    std::string My;
    std::string Vx;
    std::string Vy;
    std::string T;
};

struct HOST_API S_RcBeamSectionDesign {
    S_RcBeamSectionDesign();
    std::string MainBarGrade;
    std::string StirrupGrade;
    std::string SideBarGrade;
    std::string ReqAsTop;
    std::string ReqAsTopCorner;
    std::string ReqAsTopMiddle;
    std::string ReqAsBottom;
    std::string ReqAsTorsion;
    std::string ReqAsStirrup;
    std::string StirrupSpace;
    std::string MaxRebarRatio;
    std::string MinRebarRatio;
    S_RcBarLayout StirrupBar;
    S_RcBarGroup SideBar;
    std::string TopCornerBar;
    std::string TopMiddleBar;
    std::string BottomBar;
    S_RcForceSet Force;
    S_RcForceSet Force_Q;
    S_RcForceSet Force_K;
};

struct HOST_API S_RcDesignBeam_D {
    S_RcDesignBeam_D();
    std::string TopCovering;
    std::string BottomCovering;
    std::string SideCovering;
    std::string SeismicGrade;
    std::string SeismicIntensity;
    S_RcBeamSectionDesign ISection;
    S_RcBeamSectionDesign MSection;
    S_RcBeamSectionDesign JSection;
};

struct HOST_API S_RcDesignColumn_D {
    S_RcDesignColumn_D();
    std::string Covering;
    std::string SeismicGrade;
    std::string SeismicIntensity;
    std::string NFcA;
    std::string K_Major;
    std::string K_Minor;
    std::string MainBarGrade;
    std::string StirrupGrade;
    std::string ReqCornerAs;
    std::string ReqMajorAxisAs;
    std::string ReqMinorAxisAs;
    std::string ReqMajorStirrupAsOfCenter;
    std::string ReqMinorStirrupAsOfCenter;
    std::string ReqMajorStirrupAsOfEnd;
    std::string ReqMinorStirrupAsOfEnd;
    std::string StirrupSpace;
    S_RcBarGroup CornerBar;
    S_RcBarGroup MidMajorAxisBar;
    S_RcBarGroup MidMinorAxisBar;
    S_RcBarLayout StirrupBarOfCircle;
    S_RcBarLayout MajorStirrupBarOfCenter;
    S_RcBarLayout MinorStirrupBarOfCenter;
    S_RcBarLayout MajorStirrupBarOfEnd;
    S_RcBarLayout MinorStirrupBarOfEnd;
    S_RcForceSet ForceUp;
    S_RcForceSet ForceCent;
    S_RcForceSet ForceDown;
};

struct HOST_API S_RcDesignWall_D {
    S_RcDesignWall_D();
    std::string Dw;
    std::string De;
    std::string Qe;
    std::string Qi;
    std::string SeismicGrade;
    std::string SeismicIntensity;
    std::string NFcA;
    std::string HBarGrade;
    std::string VBarGrade;
    std::string ReqAsHorizontal;
    std::string ReqAsVertical;
    std::string HorSpace;
    std::string VerRate;
    S_RcForceSet ForceUp;
    S_RcForceSet ForceDown;
};

struct HOST_API S_RcDesignWallLL_D {
    S_RcDesignWallLL_D();
    std::string SeismicGrade;
    std::string SeismicIntensity;
    std::string MainBarGrade;
    std::string StirrupBarGrade;
    std::string Space;
    std::string ReqTopAs;
    std::string ReqBottomAs;
    std::string ReqStirrupAs;
    std::string ReqSideAs;
    S_RcBarGroup TopRebar;
    S_RcBarGroup BottomRebar[2];
    S_RcStirrupSet StirrupRebar;
};

struct HOST_API S_RcDesignWallColumn_D {
    S_RcDesignWallColumn_D();
    std::string SeismicGrade;
    std::string SeismicIntensity;
    std::string MainBarGrade;
    std::string HoopBarGrade;
    std::string ReqMainAs;
    std::string ReqHoopAs;
    std::string LemdaVs;
    std::string HoopDia;
    std::string HoopSpace;
};

struct HOST_API S_RcDesignSlab_D {
    S_RcDesignSlab_D();
    S_RcDesignSlab_D(const S_RcDesignSlab_D& other);
    S_RcDesignSlab_D& operator=(const S_RcDesignSlab_D& other);
    ~S_RcDesignSlab_D();
    std::string WeaponLoad;
    std::string NuclearWeaponLoad;
    std::string BottomBarGrade;
    std::string TopBarGrade;
    std::string SupportBarGrade;
    std::string ReqBottomAs_X;
    std::string ReqBottomAs_Y;
    std::string ReqTopAs_X;
    std::string ReqTopAs_Y;
    TableInterface<int, double>* ReqSupportAs;
    std::string MomemtKOnX;
    std::string MomemtKOnY;
    TableInterface<int, double>* MomentKOnSupports;
    std::string MomemtQOnX;
    std::string MomemtQOnY;
    TableInterface<int, double>* MomentQOnSupports;
};

} // namespace building_designDB
