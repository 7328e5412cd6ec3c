#include "tools/modelgen/ModelWriter.h"

#include <algorithm>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "schema/DesignSchema.h"
#include "schema/ModelSchema.h"
#include "tools/modelgen/RecordWriter.h"

namespace modelgen {

namespace {

using namespace building_modelDB;
using namespace building_designDB;

// splitmix64: the same numbers from a seed on every platform.
class Random {
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double uniform(double low, double high) { return low + (high - low) * (next() >> 11) * (1.0 / 9007199254740992.0); }
    int pick(int count) { return static_cast<int>(next() % static_cast<std::uint64_t>(count)); }

private:
    std::uint64_t m_state;
};

// Key layout: every member kind numbers its records from 1, in storey
// order; nodes are numbered per level (level 0 is the base).
struct Layout {
    explicit Layout(const BuildingShape& s) : shape(s) {}
    const BuildingShape& shape;

    long long nodesPerLevel() const { return (shape.baysX + 1LL) * (shape.baysY + 1LL); }
    long long node(int level, int i, int j) const { return level * nodesPerLevel() + j * (shape.baysX + 1LL) + i + 1; }
    long long beamsPerStorey() const { return shape.baysX * (shape.baysY + 1LL) + shape.baysY * (shape.baysX + 1LL); }
    long long columnsPerStorey() const { return nodesPerLevel(); }
    long long bracesPerStorey() const { return 2; }
    long long wallsPerStorey() const { return 2; } // first bay of the two long sides
    long long slabsPerStorey() const { return static_cast<long long>(shape.baysX) * shape.baysY; }
    long long wallColumnsPerStorey() const { return 2 * wallsPerStorey(); }
};

const double kBay = 6000.0;

// One storey's members, in a fixed order; the callback receives each with
// its storey (1-based), kind, index within the storey and nodes.
enum class Kind { Beam, Column, Brace, Wall, Slab };

template <class F>
void forEachMember(const Layout& layout, int storey, F&& f)
{
    const BuildingShape& shape = layout.shape;
    int top = storey, bottom = storey - 1;
    long long index = 0;
    for (int j = 0; j <= shape.baysY; ++j)
        for (int i = 0; i < shape.baysX; ++i)
            f(Kind::Beam, index++, std::vector<long long>{layout.node(top, i, j), layout.node(top, i + 1, j)});
    for (int i = 0; i <= shape.baysX; ++i)
        for (int j = 0; j < shape.baysY; ++j)
            f(Kind::Beam, index++, std::vector<long long>{layout.node(top, i, j), layout.node(top, i, j + 1)});
    index = 0;
    for (int j = 0; j <= shape.baysY; ++j)
        for (int i = 0; i <= shape.baysX; ++i)
            f(Kind::Column, index++, std::vector<long long>{layout.node(bottom, i, j), layout.node(top, i, j)});
    f(Kind::Brace, 0, std::vector<long long>{layout.node(bottom, 0, 0), layout.node(top, 1, 0)});
    f(Kind::Brace, 1, std::vector<long long>{layout.node(bottom, shape.baysX, shape.baysY),
                                             layout.node(top, shape.baysX - 1, shape.baysY)});
    f(Kind::Wall, 0, std::vector<long long>{layout.node(bottom, 0, 0), layout.node(bottom, 0, 1),
                                            layout.node(top, 0, 1), layout.node(top, 0, 0)});
    f(Kind::Wall, 1, std::vector<long long>{layout.node(bottom, shape.baysX, 0), layout.node(bottom, shape.baysX, 1),
                                            layout.node(top, shape.baysX, 1), layout.node(top, shape.baysX, 0)});
    index = 0;
    for (int j = 0; j < shape.baysY; ++j)
        for (int i = 0; i < shape.baysX; ++i)
            f(Kind::Slab, index++, std::vector<long long>{layout.node(top, i, j), layout.node(top, i + 1, j),
                                                          layout.node(top, i + 1, j + 1), layout.node(top, i, j + 1)});
}

// Elements are numbered storey by storey in member order.
long long elementsPerStorey(const Layout& l)
{
    return l.beamsPerStorey() + l.columnsPerStorey() + l.bracesPerStorey() + l.wallsPerStorey() + l.slabsPerStorey();
}

long long firstKey(long long perStorey, int storey)
{
    return perStorey * (storey - 1) + 1;
}

std::string number(Random& random, double low, double high)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", random.uniform(low, high));
    return buffer;
}

// Calls f(member) for every member of record R that its list reads as a
// whole number.
template <class R, class F>
void forEachInteger(R& record, F&& f)
{
    schema::forEachMember<R>([&](const auto& field) {
        if constexpr (std::is_same_v<std::decay_t<decltype(field.kind)>, schema::AsValue<int>>)
            f(record.*field.member);
    });
}

template <class R>
struct Rows {};

// The values of a generated building, table by table: each `rows` fills
// the records of one table and hands each to `emit(key, record)` in key
// order. The tables are walked in the registries' order, and the random
// numbers are drawn in the order the values are written. A table without
// rows here is written empty.
class Building {
public:
    explicit Building(const BuildingShape& shape) : m_shape(shape), m_layout(shape), m_random(shape.seed) {}

    template <class R, class Emit>
    void rows(Rows<R>, Emit&&)
    {
    }

    template <class Emit>
    void rows(Rows<S_ProjectInfo_D>, Emit&& emit)
    {
        S_ProjectInfo_D p;
        p.Project = "综合办公楼";
        p.Revision = "A";
        p.Code = "GB50010-2010";
        p.User = "设计院";
        p.Mail = "design@example.com";
        p.Address = "上海市";
        p.Phone = "021-00000000";
        p.Fax = "021-00000001";
        p.Client = "建设单位";
        p.Title = "结构模型";
        p.Comment = "seed " + std::to_string(m_shape.seed);
        p.StructType = 1;
        p.Height = 3300.0 * m_shape.storeys + 1200.0;
        p.HeightGrade = 1.0;
        emit(1, p);
    }

    template <class Emit>
    void rows(Rows<S_UnitFlag_D>, Emit&& emit)
    {
        S_UnitFlag_D u;
        u.Length = 1;
        u.Force = 2;
        emit(1, u);
    }

    template <class Emit>
    void rows(Rows<S_Section_D>, Emit&& emit)
    {
        // A frame beam set flush with the slab top, a steel-reinforced
        // concrete column around a welded H, a rolled steel pipe brace and a
        // coupling beam flush with its wall's face and top. Sizes in mm.
        struct Section {
            const char* name;
            int type;
            const char* shape;
            std::vector<double> size;
            int lengthType;            // effective length rule about both axes
            int srcType;               // steel shape inside concrete, 0 for none
            const char* dbName;        // rolled-section catalogue
            const char* innerName;     // the embedded steel section
            double perimeterOut, perimeterIn;
            int builtUp;               // welded from plates
            double elastic, density, poisson;
            int offsetCenter, horzOffset, vertOffset;
            int offsetY[2], offsetZ[2]; // at ends I and J
        };
        const double pi = 3.141592653589793;
        const Section sections[] = {
            {"矩形梁 300x600", 1, "SB", {600, 300, 0, 0, 0, 0, 0, 0}, 0, 0, "", "", 1800, 0, 0,
             30000, 25, 0.2, 1, 0, 1, {0, 0}, {-300, -300}},
            {"型钢混凝土柱 600x600", 2, "SRC", {600, 600, 300, 300, 10, 15, 0, 0}, 1, 1, "",
             "H300x300x10x15", 2400, 0, 1, 31500, 25, 0.2, 0, 0, 0, {0, 0}, {0, 0}},
            {"支撑 P219x10", 3, "P", {219, 10, 0, 0, 0, 0, 0, 0}, 2, 0, "GB/T 8162", "", pi * 219,
             pi * 199, 0, 206000, 78.5, 0.3, 0, 0, 0, {0, 0}, {0, 0}},
            {"连梁 200x800", 1, "SB", {800, 200, 0, 0, 0, 0, 0, 0}, 0, 0, "", "", 2000, 0, 0, 30000, 25,
             0.2, 1, 1, 1, {25, 25}, {-400, -400}},
        };
        int key = 1;
        for (const Section& s : sections) {
            S_Section_D r;
            r.Num = key;
            r.SType = s.type;
            r.SName = s.name;
            r.Shape = s.shape;
            r.OffsetPoint = 5;
            r.Lytype = s.lengthType;
            r.Lztype = s.lengthType;
            r.SRCtype = s.srcType;
            r.Matl_Elast = s.elastic;
            r.Matl_Density = s.density;
            r.Matl_Poisson_S = 0.3;
            r.Matl_Poisson_C = s.poisson;
            r.Matl_StiffFactor = 1.0;
            r.PeriIn = s.perimeterIn;
            r.PeriOut = s.perimeterOut;
            r.BuiltUpFlag = s.builtUp;
            r.Symmetric = true;
            r.OffsetCenter = s.offsetCenter;
            r.HorzOffsetOpt = s.horzOffset;
            r.VertOffsetOpt = s.vertOffset;
            r.ConsiderShearDeform = true;
            std::copy(std::begin(s.offsetY), std::end(s.offsetY), r.UserDefOffsetY);
            std::copy(std::begin(s.offsetZ), std::end(s.offsetZ), r.UserDefOffsetZ);
            for (S_SectShape* end : {&r.SectI, &r.SectJ}) {
                end->Shape = s.shape;
                end->DBName = s.dbName;
                end->SName = s.name;
                end->SName2 = s.innerName;
                end->PeriIn = s.perimeterIn;
                end->PeriOut = s.perimeterOut;
                end->BuiltUpFlag = s.builtUp;
                addEntries(*end, &S_SectShape::Size, s.size);
                fill(end->Stiffness);
                fill(end->Design);
            }
            fill(r.Stiffness);
            fill(r.Design);
            emit(key++, r);
        }
    }

    template <class Emit>
    void rows(Rows<S_Thickness_D>, Emit&& emit)
    {
        const double thicknesses[] = {120, 150, 200, 250};
        for (int i = 0; i < 4; ++i) {
            S_Thickness_D t;
            t.Num = i + 1;
            t.nType = i < 2 ? 1 : 2;
            t.Value.ThickType = i < 2 ? "板" : "墙";
            t.Value.ThickIn = thicknesses[i];
            t.Value.ThickOut = thicknesses[i];
            emit(i + 1, t);
        }
    }

    template <class Emit>
    void rows(Rows<S_Opening_D>, Emit&& emit)
    {
        for (int i = 0; i < 3; ++i) {
            S_Opening_D o;
            o.Num = i + 1;
            o.OpeningType = i == 0 ? 1 : 2;
            o.Width = 900.0 + 300 * i;
            o.Height = 2100.0;
            o.Pline = "0,0 " + std::to_string(900 + 300 * i) + ",0 " + std::to_string(900 + 300 * i) + ",2100 0,2100";
            emit(i + 1, o);
        }
    }

    template <class Emit>
    void rows(Rows<S_DesignMaterial_D>, Emit&& emit)
    {
        struct Material {
            const char* type;
            const char* name;
            double elast, density, fck, ftk, fc, ft;
            double fak, fa; // shear strengths of steel: characteristic and design
        };
        const Material materials[] = {{"混凝土", "C30", 30000, 25, 20.1, 2.01, 14.3, 1.43, 0, 0},
                                      {"混凝土", "C35", 31500, 25, 23.4, 2.20, 16.7, 1.57, 0, 0},
                                      {"钢材", "Q355", 206000, 78.5, 355, 355, 305, 305, 205, 175}};
        int key = 1;
        for (const Material& m : materials) {
            S_DesignMaterial_D r;
            r.Type = m.type;
            r.Name = m.name;
            r.bChangeSteel = "0";
            r.MainRebarMatlName = "HRB400";
            r.SubRebarMatlName = "HPB300";
            for (S_MatlData* data : {&r.Data1, &r.Data2}) {
                data->CodeName = "GB50010";
                data->CodeMatlName = m.name;
                S_MatlAnalysis& a = data->Analysis;
                a.Elast = m.elast;
                a.Poisson = 0.2;
                a.Thermal = 1e-5;
                a.Density = m.density;
                a.Fck = m.fck;
                a.Ftk = m.ftk;
                a.Fc = m.fc;
                a.Ft = m.ft;
                a.Fak = m.fak;
                a.Fa = m.fa;
            }
            emit(key++, r);
        }
    }

    template <class Emit>
    void rows(Rows<S_DesignCode_D>, Emit&& emit)
    {
        S_DesignCode_D c;
        c.DesignCode = "GB50010-2010";
        c.DesignSteelCode = "GB50017-2017";
        c.DesignSRCCode = "JGJ138-2016";
        c.RebarMaterialCode = "GB50010-2010";
        c.SeismicGrade = "二级";
        c.SeismicIntensity = "7度(0.10g)";
        emit(1, c);
    }

    template <class Emit>
    void rows(Rows<S_Floor_D>, Emit&& emit)
    {
        double elevation = 0;
        for (int s = 1; s <= m_shape.storeys; ++s) {
            double height = s == 1 ? 4500 : 3300;
            S_Floor_D f;
            f.Num = s;
            f.StoryName = "第" + std::to_string(s) + "层";
            f.Heigh = height;
            f.Elevation = elevation;
            f.MdulK = s == m_shape.storeys ? 2 : 1; // the roof's module
            f.PlanK = 1;
            emit(s, f);
            elevation += height;
        }
    }

    template <class Emit>
    void rows(Rows<S_Node_D>, Emit&& emit)
    {
        for (int level = 0; level <= m_shape.storeys; ++level)
            for (int j = 0; j <= m_shape.baysY; ++j)
                for (int i = 0; i <= m_shape.baysX; ++i) {
                    S_Node_D n;
                    n.x = i * kBay + m_random.uniform(-0.5, 0.5);
                    n.y = j * kBay + m_random.uniform(-0.5, 0.5);
                    emit(m_layout.node(level, i, j), n);
                }
    }

    // Axis lines through the grid: group 1 along x, group 2 along y. An
    // axis's centre node is the grid node at its midpoint, when it has one.
    template <class Emit>
    void rows(Rows<S_Axis_D>, Emit&& emit)
    {
        auto middle = [](int bays) { return bays % 2 == 0 ? bays / 2 : -1; };
        const int baysX = m_shape.baysX, baysY = m_shape.baysY;
        long long key = 1;
        for (int j = 0; j <= baysY; ++j) {
            S_Axis_D a;
            a.Name = std::string(1, static_cast<char>('A' + j % 26)) + (j >= 26 ? std::to_string(j / 26) : "");
            a.GroupKey = 1;
            a.StartNodeKey = key32(m_layout.node(0, 0, j));
            a.EndNodeKey = key32(m_layout.node(0, baysX, j));
            a.CenterNodeKey = middle(baysX) < 0 ? 0 : key32(m_layout.node(0, middle(baysX), j));
            emit(key++, a);
        }
        for (int i = 0; i <= baysX; ++i) {
            S_Axis_D a;
            a.Name = std::to_string(i + 1);
            a.GroupKey = 2;
            a.StartNodeKey = key32(m_layout.node(0, i, 0));
            a.EndNodeKey = key32(m_layout.node(0, i, baysY));
            a.CenterNodeKey = middle(baysY) < 0 ? 0 : key32(m_layout.node(0, i, middle(baysY)));
            emit(key++, a);
        }
    }

    template <class Emit>
    void rows(Rows<S_AxisGroup_D>, Emit&& emit)
    {
        long long key = 1;
        for (const char* name : {"横向轴网", "纵向轴网"}) {
            S_AxisGroup_D g;
            g.Name = name;
            emit(key++, g);
        }
    }

    template <class Emit>
    void rows(Rows<S_Element_D>, Emit&& emit)
    {
        const int storeys = m_shape.storeys;
        for (int s = 1; s <= storeys; ++s)
            forEachMember(m_layout, s, [&](Kind kind, long long index, const std::vector<long long>& nodes) {
                S_Element_D e;
                e.Elpro = static_cast<int>(kind) + 1;
                e.Angle = kind == Kind::Column ? 90.0 : 0.0;
                e.MembType = static_cast<int>(kind) + 1;
                for (int S_Element_D::*eccentricity : {&S_Element_D::Ecx1, &S_Element_D::Ecy1, &S_Element_D::Ecz1,
                                                       &S_Element_D::Ecx2, &S_Element_D::Ecy2, &S_Element_D::Ecz2})
                    e.*eccentricity = m_random.pick(3) - 1;
                e.ElMatl = kind == Kind::Brace ? 3 : s <= storeys / 2 ? 2 : 1;
                e.PStorK = s;
                addEntries(e, &S_Element_D::PNodeKeyList, nodes);
                emit(elementKey(s, kind, index), e);
            });
    }

    template <class Emit>
    void rows(Rows<S_Beam_D>, Emit&& emit)
    {
        memberRows<S_Beam_D>(Kind::Beam, m_layout.beamsPerStorey(), emit);
    }

    template <class Emit>
    void rows(Rows<S_BeamGroup_D>, Emit&& emit)
    {
        for (int s = 1; s <= m_shape.storeys; ++s) {
            std::vector<long long> beams;
            for (long long b = 0; b < m_layout.beamsPerStorey(); ++b)
                beams.push_back(firstKey(m_layout.beamsPerStorey(), s) + b);
            S_BeamGroup_D g;
            addEntries(g, &S_BeamGroup_D::BeamList, beams);
            emit(s, g);
        }
    }

    template <class Emit>
    void rows(Rows<S_Column_D>, Emit&& emit)
    {
        memberRows<S_Column_D>(Kind::Column, m_layout.columnsPerStorey(), emit,
                               [](S_Column_D& c, long long) { c.MembKind = 1; });
    }

    template <class Emit>
    void rows(Rows<S_Brace_D>, Emit&& emit)
    {
        memberRows<S_Brace_D>(Kind::Brace, m_layout.bracesPerStorey(), emit);
    }

    template <class Emit>
    void rows(Rows<S_Wall_D>, Emit&& emit)
    {
        memberRows<S_Wall_D>(Kind::Wall, m_layout.wallsPerStorey(), emit,
                             [](S_Wall_D& w, long long index) { w.Openings = index == 0 ? "1" : ""; });
    }

    template <class Emit>
    void rows(Rows<S_WallLL_D>, Emit&& emit)
    {
        const long long perStorey = m_layout.wallsPerStorey();
        for (int s = 1; s <= m_shape.storeys; ++s)
            for (long long w = 0; w < perStorey; ++w) {
                // A coupling beam spans along y in its wall's plane (at 90
                // degrees to x), flush with the outer face and the floor, its
                // ends 100 mm inside the piers' nodes; the taller ground
                // storey's beams sit under the window heads, 600 mm down.
                int outward = w == 0 ? -1 : 1;
                S_WallLL_D b;
                b.BetaAngle = 90;
                b.Ecx1 = 25 * outward;
                b.Ecy1 = 100;
                b.Ecz1 = -400;
                b.Ecx2 = 25 * outward;
                b.Ecy2 = -100;
                b.Ecz2 = -400;
                b.Width = 200;
                b.Height = 800;
                b.ElevDiff = s == 1 ? -600 : 0;
                b.MaterialKey = 1;
                b.SectionKey = 4;
                b.PStorK = s;
                int i = w == 0 ? 0 : m_shape.baysX;
                b.NodeKey1 = key32(m_layout.node(s, i, 0));
                b.NodeKey2 = key32(m_layout.node(s, i, 1));
                emit(firstKey(perStorey, s) + w, b);
            }
    }

    template <class Emit>
    void rows(Rows<S_WallColumn_D>, Emit&& emit)
    {
        const long long perStorey = m_layout.wallColumnsPerStorey();
        for (int s = 1; s <= m_shape.storeys; ++s)
            for (long long c = 0; c < perStorey; ++c) {
                long long wall = c / 2;
                S_WallColumn_D r;
                r.WallColumnType = 1 + static_cast<int>(c % 2);
                int i = wall == 0 ? 0 : m_shape.baysX;
                r.NodeKey = key32(m_layout.node(s, i, static_cast<int>(c % 2)));
                r.PStorK = s;
                addEntries(r, &S_WallColumn_D::WallEleKeys, std::vector<long long>{elementKey(s, Kind::Wall, wall)});
                addEntries(r, &S_WallColumn_D::Lcs, std::vector<double>{1, 0, 0, 0, 1, 0, 0, 0, 1});
                addEntries(r, &S_WallColumn_D::Lss, std::vector<double>{200, 600, 3300});
                emit(firstKey(perStorey, s) + c, r);
            }
    }

    template <class Emit>
    void rows(Rows<S_Slab_D>, Emit&& emit)
    {
        const int storeys = m_shape.storeys;
        for (int s = 1; s <= storeys; ++s)
            forEachMember(m_layout, s, [&](Kind kind, long long index, const std::vector<long long>& nodes) {
                if (kind != Kind::Slab)
                    return;
                // Below the roof, the bays along the first x axis carry 1.5 m
                // balconies, 50 mm down and spanning along y; the last bay
                // holds a shaft opening.
                bool balcony = s < storeys && index < m_shape.baysX;
                S_Slab_D r;
                r.SlabType = 1;
                r.ElevationDiff = balcony ? -50.0 : 0.0;
                r.CantiLength = balcony ? 1500.0 : 0.0;
                r.XAngle = balcony ? 90.0 : 0.0;
                r.SlabStyle = balcony ? 2 : 0;
                r.PStorK = s;
                r.ThicknessKey = 1 + m_random.pick(2);
                r.MaterialKey = 1;
                r.Openings = index == m_layout.slabsPerStorey() - 1 ? "3" : "";
                std::vector<SS_Support> supports(4);
                for (int edge = 0; edge < 4; ++edge) {
                    supports[edge].BoudaryCondition = 1 + m_random.pick(2);
                    addEntries(supports[edge], &SS_Support::NodeList,
                               std::vector<long long>{nodes[edge], nodes[(edge + 1) % 4]});
                }
                addEntries(r, &S_Slab_D::Supports, supports);
                emit(firstKey(m_layout.slabsPerStorey(), s) + index, r);
            });
    }

    // Per end, one digit per degree of freedom (fx, fy, fz, mx, my, mz): 0
    // fixed, 1 released, 2 elastic, with the spring's stiffness (kN/m,
    // kN*m/rad) as its value. Type 1 pins both ends; type 2 is an
    // elastomeric bearing at each end.
    template <class Emit>
    void rows(Rows<S_MemberEndRls_D>, Emit&& emit)
    {
        struct Release {
            const char* flag;
            int values[6];
        };
        const Release releases[] = {{"000011", {0, 0, 0, 0, 1, 1}},
                                    {"222222", {2000, 2000, 800000, 5000, 12000, 12000}}};
        using R = S_MemberEndRls_D;
        struct End {
            std::string R::*flag;
            int R::*dofs[6];
        };
        const End ends[] = {{&R::flagI, {&R::fxI, &R::fyI, &R::fzI, &R::mxI, &R::myI, &R::mzI}},
                            {&R::flagJ, {&R::fxJ, &R::fyJ, &R::fzJ, &R::mxJ, &R::myJ, &R::mzJ}}};
        int key = 1;
        for (const Release& release : releases) {
            R r;
            r.nType = key;
            for (const End& end : ends) {
                r.*end.flag = release.flag;
                for (int d = 0; d < 6; ++d)
                    r.*end.dofs[d] = release.values[d];
            }
            emit(key++, r);
        }
    }

    // A standard storey's module and the roof's.
    template <class Emit>
    void rows(Rows<S_Mdul_D>, Emit&& emit)
    {
        long long key = 1;
        for (const char* name : {"标准层", "屋面层"}) {
            S_Mdul_D m;
            m.ModulName = name;
            emit(key++, m);
        }
    }

    template <class Emit>
    void rows(Rows<S_Plan_D>, Emit&& emit)
    {
        S_Plan_D p;
        p.PlanName = "标准平面";
        p.WallType = "剪力墙";
        p.SlabType = "现浇板";
        p.LoadType = "办公";
        p.MatlKColumn = "C35";
        p.MatlKBeam = "C30";
        p.MatlKSlab = "C30";
        p.MatlKWall = "C35";
        p.MatlKBrace = "Q355";
        p.ThikKSlab = "120";
        emit(1, p);
    }

    // The design section: a row per member, keyed as its member is.

    template <class Emit>
    void rows(Rows<S_RcDgnGlobal_D>, Emit&& emit)
    {
        S_RcDgnGlobal_D g;
        g.Gamma0 = "1.0";
        emit(1, g);
    }

    template <class Emit>
    void rows(Rows<S_RcDesignBeam_D>, Emit&& emit)
    {
        using S = S_RcBeamSectionDesign;
        for (long long k = 1; k <= m_layout.beamsPerStorey() * m_shape.storeys; ++k) {
            S_RcDesignBeam_D b;
            b.TopCovering = "20";
            b.BottomCovering = "20";
            b.SideCovering = "20";
            b.SeismicGrade = "二级";
            b.SeismicIntensity = "7";
            for (S* section : {&b.ISection, &b.MSection, &b.JSection}) {
                section->MainBarGrade = "HRB400";
                section->StirrupGrade = "HPB300";
                section->SideBarGrade = "HRB400";
                for (std::string S::*required :
                     {&S::ReqAsTop, &S::ReqAsTopCorner, &S::ReqAsTopMiddle, &S::ReqAsBottom, &S::ReqAsTorsion,
                      &S::ReqAsStirrup})
                    section->*required = number(m_random, 0, 2000);
                section->StirrupSpace = "100";
                section->MaxRebarRatio = "2.50";
                section->MinRebarRatio = "0.20";
                fill(section->StirrupBar);
                fill(section->SideBar);
                section->TopCornerBar = "2C20";
                section->TopMiddleBar = "2C18";
                section->BottomBar = "4C22";
                for (S_RcForceSet* force : {&section->Force, &section->Force_Q, &section->Force_K})
                    fill(*force);
            }
            emit(k, b);
        }
    }

    template <class Emit>
    void rows(Rows<S_RcDesignColumn_D>, Emit&& emit)
    {
        using C = S_RcDesignColumn_D;
        for (long long k = 1; k <= m_layout.columnsPerStorey() * m_shape.storeys; ++k) {
            C c;
            c.Covering = "20";
            c.SeismicGrade = "二级";
            c.SeismicIntensity = "7";
            c.NFcA = number(m_random, 0.2, 0.8);
            c.K_Major = "1.25";
            c.K_Minor = "1.25";
            c.MainBarGrade = "HRB400";
            c.StirrupGrade = "HPB300";
            for (std::string C::*required : {&C::ReqCornerAs, &C::ReqMajorAxisAs, &C::ReqMinorAxisAs,
                                             &C::ReqMajorStirrupAsOfCenter, &C::ReqMinorStirrupAsOfCenter,
                                             &C::ReqMajorStirrupAsOfEnd, &C::ReqMinorStirrupAsOfEnd})
                c.*required = number(m_random, 0, 3000);
            c.StirrupSpace = "100";
            for (S_RcBarGroup* group : {&c.CornerBar, &c.MidMajorAxisBar, &c.MidMinorAxisBar})
                fill(*group);
            for (S_RcBarLayout* layout : {&c.StirrupBarOfCircle, &c.MajorStirrupBarOfCenter,
                                          &c.MinorStirrupBarOfCenter, &c.MajorStirrupBarOfEnd,
                                          &c.MinorStirrupBarOfEnd})
                fill(*layout);
            for (S_RcForceSet* force : {&c.ForceUp, &c.ForceCent, &c.ForceDown})
                fill(*force);
            emit(k, c);
        }
    }

    template <class Emit>
    void rows(Rows<S_RcDesignWall_D>, Emit&& emit)
    {
        using W = S_RcDesignWall_D;
        for (long long k = 1; k <= m_layout.wallsPerStorey() * m_shape.storeys; ++k) {
            W w;
            for (std::string W::*value : {&W::Dw, &W::De, &W::Qe, &W::Qi})
                w.*value = number(m_random, 0, 10);
            w.SeismicGrade = "二级";
            w.SeismicIntensity = "7";
            w.NFcA = number(m_random, 0.1, 0.6);
            w.HBarGrade = "HRB400";
            w.VBarGrade = "HRB400";
            w.ReqAsHorizontal = number(m_random, 0, 1000);
            w.ReqAsVertical = number(m_random, 0, 1000);
            w.HorSpace = "200";
            w.VerRate = "0.25";
            fill(w.ForceUp, false); // the file holds no torsion at the top
            fill(w.ForceDown);
            emit(k, w);
        }
    }

    template <class Emit>
    void rows(Rows<S_RcDesignWallLL_D>, Emit&& emit)
    {
        using L = S_RcDesignWallLL_D;
        for (long long k = 1; k <= m_layout.wallsPerStorey() * m_shape.storeys; ++k) {
            L l;
            l.SeismicGrade = "二级";
            l.SeismicIntensity = "7";
            l.MainBarGrade = "HRB400";
            l.StirrupBarGrade = "HPB300";
            l.Space = "100";
            for (std::string L::*required : {&L::ReqTopAs, &L::ReqBottomAs, &L::ReqStirrupAs, &L::ReqSideAs})
                l.*required = number(m_random, 0, 1500);
            fill(l.TopRebar);
            for (S_RcBarGroup& group : l.BottomRebar)
                fill(group);
            l.StirrupRebar.RebarName = "C10@100";
            l.StirrupRebar.Grade = "HPB300";
            l.StirrupRebar.Dia = "10";
            l.StirrupRebar.Space = "100";
            l.StirrupRebar.Legs = "2";
            emit(k, l);
        }
    }

    template <class Emit>
    void rows(Rows<S_RcDesignWallColumn_D>, Emit&& emit)
    {
        for (long long k = 1; k <= m_layout.wallColumnsPerStorey() * m_shape.storeys; ++k) {
            S_RcDesignWallColumn_D c;
            c.SeismicGrade = "二级";
            c.SeismicIntensity = "7";
            c.MainBarGrade = "HRB400";
            c.HoopBarGrade = "HPB300";
            c.ReqMainAs = number(m_random, 0, 2000);
            c.ReqHoopAs = number(m_random, 0, 500);
            c.LemdaVs = number(m_random, 0.1, 0.2);
            c.HoopDia = "8";
            c.HoopSpace = "100";
            emit(k, c);
        }
    }

    template <class Emit>
    void rows(Rows<S_RcDesignSlab_D>, Emit&& emit)
    {
        using D = S_RcDesignSlab_D;
        auto four = [&](double low, double high) {
            std::vector<double> values;
            for (int i = 0; i < 4; ++i)
                values.push_back(m_random.uniform(low, high));
            return values;
        };
        for (long long k = 1; k <= m_layout.slabsPerStorey() * m_shape.storeys; ++k) {
            D d;
            d.WeaponLoad = "0";
            d.NuclearWeaponLoad = "0";
            d.BottomBarGrade = "HRB400";
            d.TopBarGrade = "HRB400";
            d.SupportBarGrade = "HRB400";
            for (std::string D::*required : {&D::ReqBottomAs_X, &D::ReqBottomAs_Y, &D::ReqTopAs_X, &D::ReqTopAs_Y})
                d.*required = number(m_random, 0, 800);
            addEntries(d, &D::ReqSupportAs, four(0, 800));
            d.MomemtKOnX = number(m_random, 0, 50);
            d.MomemtKOnY = number(m_random, 0, 50);
            addEntries(d, &D::MomentKOnSupports, four(-80, 0));
            d.MomemtQOnX = number(m_random, 0, 50);
            d.MomemtQOnY = number(m_random, 0, 50);
            addEntries(d, &D::MomentQOnSupports, four(-80, 0));
            emit(k, d);
        }
    }

private:
    // Keys in a record are the host's ints.
    static int key32(long long key) { return static_cast<int>(key); }

    long long elementKey(int storey, Kind kind, long long index) const
    {
        long long offset = 0;
        if (kind != Kind::Beam) offset += m_layout.beamsPerStorey();
        if (kind != Kind::Beam && kind != Kind::Column) offset += m_layout.columnsPerStorey();
        if (kind == Kind::Wall || kind == Kind::Slab) offset += m_layout.bracesPerStorey();
        if (kind == Kind::Slab) offset += m_layout.wallsPerStorey();
        return firstKey(elementsPerStorey(m_layout), storey) + offset + index;
    }

    // A beam, column, brace or wall on each storey, naming its element;
    // `more` sets what the kind adds.
    template <class R, class Emit, class More>
    void memberRows(Kind wanted, long long perStorey, Emit& emit, More more)
    {
        for (int s = 1; s <= m_shape.storeys; ++s)
            forEachMember(m_layout, s, [&](Kind kind, long long index, const std::vector<long long>&) {
                if (kind != wanted)
                    return;
                R r;
                r.MembType = static_cast<int>(kind) + 1;
                r.PStorK = s;
                addEntries(r, &R::PElemK, std::vector<long long>{elementKey(s, kind, index)});
                more(r, index);
                emit(firstKey(perStorey, s) + index, r);
            });
    }
    template <class R, class Emit>
    void memberRows(Kind wanted, long long perStorey, Emit& emit)
    {
        memberRows<R>(wanted, perStorey, emit, [](R&, long long) {});
    }

    // Every whole number of a section's stiffness and design properties
    // is drawn at random; the scale factors are 1.
    void fill(S_SectStiffness& s)
    {
        forEachInteger(s, [&](int& value) { value = 1000 + m_random.pick(500000); });
        std::fill(std::begin(s.dScaleFactor), std::end(s.dScaleFactor), 1);
    }
    void fill(S_SectDesign& d)
    {
        forEachInteger(d, [&](int& value) { value = m_random.pick(100000); });
    }

    void fill(S_RcBarGroup& g)
    {
        int dia = 16 + 2 * m_random.pick(8), count = 2 + m_random.pick(5);
        g.RebarName = std::to_string(count) + "C" + std::to_string(dia);
        g.Grade = "HRB400";
        g.Dia = std::to_string(dia);
        g.Number = std::to_string(count);
    }
    void fill(S_RcBarLayout& l)
    {
        int dia = 8 + 2 * m_random.pick(3);
        l.RebarName = "C" + std::to_string(dia) + "@100/200";
        l.Grade = "HPB300";
        l.Number = std::to_string(2 + m_random.pick(3));
        l.Dia = std::to_string(dia);
        l.Space = "100";
    }
    void fill(S_RcForceSet& f, bool withT = true)
    {
        f.N = number(m_random, -5000, 500);
        f.Mx = number(m_random, -500, 500);
        f.My = number(m_random, -500, 500);
        f.Vx = number(m_random, -300, 300);
        f.Vy = number(m_random, -300, 300);
        if (withT)
            f.T = number(m_random, -50, 50);
    }

    const BuildingShape& m_shape;
    const Layout m_layout;
    Random m_random;
};

void beginSection(XmlOut& x, const char* name)
{
    x.format("<Pair><Key>%s</Key><Value xsi:type=\"Dictionary\" Version=\"1\"><Pairs>\n", name);
}
void endSection(XmlOut& x)
{
    x.raw("</Pairs></Value></Pair>\n");
}

// A section's tables in the registry's order, each row its record's
// fields in member order.
template <class Registry>
void writeTables(XmlOut& x, const Registry& tables, Building& building)
{
    schema::forEachTable(tables, [&](const auto& entry) {
        using R = typename std::decay_t<decltype(entry)>::Record;
        beginTable(x, entry.name);
        building.rows(Rows<R>(), [&](long long key, const R& record) {
            beginRow(x, key);
            writeFields(x, record, entry.fields);
            endRow(x);
        });
        endTable(x);
    });
}

} // namespace

RecordCounts countRecords(const BuildingShape& shape)
{
    const Layout l(shape);
    long long s = shape.storeys;
    return {s,
            l.nodesPerLevel() * (s + 1),
            shape.baysX + shape.baysY + 2LL,
            elementsPerStorey(l) * s,
            l.beamsPerStorey() * s,
            l.columnsPerStorey() * s,
            l.bracesPerStorey() * s,
            l.wallsPerStorey() * s,
            l.wallsPerStorey() * s,
            l.wallColumnsPerStorey() * s,
            l.slabsPerStorey() * s};
}

long long writeModel(const BuildingShape& shape, std::FILE* out)
{
    XmlOut x(out);
    Building building(shape);
    x.raw("<?xml version=\"1.0\" encoding=\"utf-8\"?>");
    x.raw(kModelFormat);
    x.raw("\n<Dictionary xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n<Pairs>\n");
    beginSection(x, "ModelDB");
    writeTables(x, building_modelDB::fields::kTables, building);
    endSection(x);
    beginSection(x, "DesignDB");
    writeTables(x, building_designDB::fields::kTables, building);
    endSection(x);
    x.raw("</Pairs>\n</Dictionary>\n");
    x.flush();
    return x.failed() ? -1 : x.bytes();
}

SizeSteps sizeSteps(BuildingShape shape)
{
    shape.storeys = 1;
    long long one = writeModel(shape, nullptr);
    shape.storeys = 2;
    return {one, writeModel(shape, nullptr) - one};
}

int storeysForSize(const BuildingShape& shape, long long bytes)
{
    return storeysForSize(sizeSteps(shape), bytes);
}

int storeysForSize(const SizeSteps& steps, long long bytes)
{
    if (steps.perStorey <= 0 || bytes <= steps.oneStorey)
        return 1;
    long long storeys = 1 + (bytes - steps.oneStorey + steps.perStorey / 2) / steps.perStorey;
    return storeys > kMaxStoreys ? kMaxStoreys : static_cast<int>(storeys);
}

} // namespace modelgen
