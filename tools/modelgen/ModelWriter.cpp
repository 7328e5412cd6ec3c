#include "tools/modelgen/ModelWriter.h"

#include <cstdarg>
#include <utility>
#include <vector>

namespace modelgen {

namespace {

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

class Xml {
public:
    explicit Xml(std::FILE* out) : m_out(out) {}

    void raw(const char* text) { put(text, std::char_traits<char>::length(text)); }
    void put(const char* text, std::size_t length)
    {
        if (m_out && std::fwrite(text, 1, length, m_out) != length)
            m_failed = true;
        m_bytes += static_cast<long long>(length);
    }
    void format(const char* pattern, ...)
    {
        char buffer[512];
        va_list args;
        va_start(args, pattern);
        int length = std::vsnprintf(buffer, sizeof buffer, pattern, args);
        va_end(args);
        if (length > 0)
            put(buffer, static_cast<std::size_t>(length) < sizeof buffer ? static_cast<std::size_t>(length)
                                                                          : sizeof buffer - 1);
    }
    void text(const char* name, const std::string& value)
    {
        format("<%s>", name);
        for (char c : value) {
            switch (c) {
            case '<': raw("&lt;"); break;
            case '>': raw("&gt;"); break;
            case '&': raw("&amp;"); break;
            default: put(&c, 1);
            }
        }
        format("</%s>", name);
    }
    void integer(const char* name, long long value) { format("<%s>%lld</%s>", name, value, name); }
    void real(const char* name, double value) { format("<%s>%.6g</%s>", name, value, name); }
    void keyRef(const char* name, const char* wrapper, long long key)
    {
        format("<%s><%s><Value>%lld</Value></%s></%s>", name, wrapper, key, wrapper, name);
    }
    void keyList(const char* name, const char* entry, const std::vector<long long>& keys)
    {
        format("<%s>", name);
        for (long long k : keys)
            format("<%s><Value>%lld</Value></%s>", entry, k, entry);
        format("</%s>", name);
    }
    void doubles(const char* name, const std::vector<double>& values)
    {
        format("<%s>", name);
        for (double v : values)
            format("<double>%.6g</double>", v);
        format("</%s>", name);
    }
    void open(const char* name) { format("<%s>", name); }
    void close(const char* name) { format("</%s>", name); }

    void beginSection(const char* name) { format("<Pair><Key>%s</Key><Value xsi:type=\"Dictionary\" Version=\"1\"><Pairs>\n", name); }
    void endSection() { raw("</Pairs></Value></Pair>\n"); }
    void beginTable(const char* name) { format("<Pair><Key>%s</Key><Value><Pairs>\n", name); }
    void endTable() { raw("</Pairs></Value></Pair>\n"); }
    void beginRow(long long key) { format("<Pair><Key><Value>%lld</Value></Key><Value>", key); }
    void endRow() { raw("</Value></Pair>\n"); }

    long long bytes() const { return m_bytes; }
    bool failed() const { return m_failed; }

private:
    std::FILE* m_out;
    long long m_bytes = 0;
    bool m_failed = false;
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

// A table whose rows hold texts only; rows are keyed 1, 2, ...
using TextRow = std::vector<std::pair<const char*, std::string>>;
void writeTextTable(Xml& x, const char* table, const std::vector<TextRow>& rows)
{
    x.beginTable(table);
    long long key = 1;
    for (const TextRow& row : rows) {
        x.beginRow(key++);
        for (const auto& [name, value] : row)
            x.text(name, value);
        x.endRow();
    }
    x.endTable();
}

const double kBay = 6000.0;

void writeGeneralTables(Xml& x, const BuildingShape& shape)
{
    x.beginTable("ProjectInfoTable");
    x.beginRow(1);
    x.text("Project", "综合办公楼");
    x.text("Revision", "A");
    x.text("Code", "GB50010-2010");
    x.text("User", "设计院");
    x.text("Mail", "design@example.com");
    x.text("Address", "上海市");
    x.text("Phone", "021-00000000");
    x.text("Fax", "021-00000001");
    x.text("Client", "建设单位");
    x.text("Title", "结构模型");
    x.text("Comment", "seed " + std::to_string(shape.seed));
    x.integer("StructType", 1);
    x.real("Height", 3300.0 * shape.storeys + 1200.0);
    x.real("HeightGrade", 1.0);
    x.endRow();
    x.endTable();

    x.beginTable("UnitFlagTable");
    x.beginRow(1);
    x.integer("Length", 1);
    x.integer("Force", 2);
    x.endRow();
    x.endTable();
}

void writeStiffness(Xml& x, Random& random)
{
    static const char* names[] = {"Area", "Asy", "Asz", "Rxx", "Ryy", "Rzz", "Cyp", "Cym", "Czp", "Czm", "Qyb",
                                  "Qzb", "WArea", "dx1", "dy1", "dx2", "dy2", "dx3", "dy3", "dx4", "dy4"};
    x.open("Stiffness");
    for (const char* n : names)
        x.integer(n, 1000 + random.pick(500000));
    x.doubles("dScaleFactor", {1, 1, 1, 1, 1, 1});
    x.close("Stiffness");
}

void writeSectDesign(Xml& x, Random& random)
{
    static const char* names[] = {"YBar", "ZBar", "Syy", "Szz", "Zyy", "Zzz", "Roy", "Roz",
                                  "Cwp",  "TanA", "Rop", "XO",  "RO",  "Beta"};
    x.open("Design");
    for (const char* n : names)
        x.integer(n, random.pick(100000));
    x.close("Design");
}

void writeSectionTables(Xml& x, Random& random)
{
    // A frame beam set flush with the slab top, a steel-reinforced concrete
    // column around a welded H, a rolled steel pipe brace and a coupling
    // beam flush with its wall's face and top. Sizes in mm.
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
    x.beginTable("SectionTable");
    int key = 1;
    for (const Section& s : sections) {
        x.beginRow(key);
        x.integer("Num", key);
        x.integer("SType", s.type);
        x.text("SName", s.name);
        x.text("Shape", s.shape);
        x.integer("OffsetPoint", 5);
        x.integer("Lytype", s.lengthType);
        x.integer("Lztype", s.lengthType);
        x.integer("SRCtype", s.srcType);
        x.real("Matl_Elast", s.elastic);
        x.real("Matl_Density", s.density);
        x.real("Matl_Poisson_S", 0.3);
        x.real("Matl_Poisson_C", s.poisson);
        x.real("Matl_StiffFactor", 1.0);
        x.real("PeriIn", s.perimeterIn);
        x.real("PeriOut", s.perimeterOut);
        x.integer("BuiltUpFlag", s.builtUp);
        x.integer("Symmetric", 1);
        x.integer("OffsetCenter", s.offsetCenter);
        x.integer("HorzOffsetOpt", s.horzOffset);
        x.integer("VertOffsetOpt", s.vertOffset);
        x.integer("ConsiderShearDeform", 1);
        x.doubles("UserDefOffsetY", {double(s.offsetY[0]), double(s.offsetY[1])});
        x.doubles("UserDefOffsetZ", {double(s.offsetZ[0]), double(s.offsetZ[1])});
        for (const char* end : {"SectI", "SectJ"}) {
            x.open(end);
            x.text("Shape", s.shape);
            x.text("DBName", s.dbName);
            x.text("SName", s.name);
            x.text("SName2", s.innerName);
            x.real("PeriIn", s.perimeterIn);
            x.real("PeriOut", s.perimeterOut);
            x.real("BuiltUpFlag", s.builtUp);
            x.doubles("Size", s.size);
            writeStiffness(x, random);
            writeSectDesign(x, random);
            x.close(end);
        }
        writeStiffness(x, random);
        writeSectDesign(x, random);
        x.endRow();
        ++key;
    }
    x.endTable();

    x.beginTable("ThicknessTable");
    const double thicknesses[] = {120, 150, 200, 250};
    for (int i = 0; i < 4; ++i) {
        x.beginRow(i + 1);
        x.integer("Num", i + 1);
        x.integer("nType", i < 2 ? 1 : 2);
        x.open("Value");
        x.text("ThickType", i < 2 ? "板" : "墙");
        x.real("ThickIn", thicknesses[i]);
        x.real("ThickOut", thicknesses[i]);
        x.close("Value");
        x.endRow();
    }
    x.endTable();

    x.beginTable("OpeningTable");
    for (int i = 0; i < 3; ++i) {
        x.beginRow(i + 1);
        x.integer("Num", i + 1);
        x.integer("OpeningType", i == 0 ? 1 : 2);
        x.real("Width", 900.0 + 300 * i);
        x.real("Height", 2100.0);
        x.text("Pline", "0,0 " + std::to_string(900 + 300 * i) + ",0 " + std::to_string(900 + 300 * i) + ",2100 0,2100");
        x.endRow();
    }
    x.endTable();
}

void writeMaterialTables(Xml& x)
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
    x.beginTable("DesignMaterialTable");
    int key = 1;
    for (const Material& m : materials) {
        x.beginRow(key++);
        x.text("Type", m.type);
        x.text("Name", m.name);
        x.text("bChangeSteel", "0");
        x.text("MainRebarMatlName", "HRB400");
        x.text("SubRebarMatlName", "HPB300");
        for (const char* data : {"Data1", "Data2"}) {
            x.open(data);
            x.text("CodeName", "GB50010");
            x.text("CodeMatlName", m.name);
            x.open("Analysis");
            x.real("Elast", m.elast);
            x.real("Poisson", 0.2);
            x.real("Thermal", 1e-5);
            x.real("Density", m.density);
            x.real("Fck", m.fck);
            x.real("Ftk", m.ftk);
            x.real("Fc", m.fc);
            x.real("Ft", m.ft);
            x.real("Fak", m.fak);
            x.real("Fa", m.fa);
            x.close("Analysis");
            x.close(data);
        }
        x.endRow();
    }
    x.endTable();

    writeTextTable(x, "DesignCodeTable",
                   {{{"DesignCode", "GB50010-2010"}, {"DesignSteelCode", "GB50017-2017"},
                     {"DesignSRCCode", "JGJ138-2016"}, {"RebarMaterialCode", "GB50010-2010"},
                     {"SeismicGrade", "二级"}, {"SeismicIntensity", "7度(0.10g)"}}});
}

void writeGridTables(Xml& x, const Layout& layout, Random& random)
{
    const BuildingShape& shape = layout.shape;
    x.beginTable("FloorTable");
    double elevation = 0;
    for (int s = 1; s <= shape.storeys; ++s) {
        double height = s == 1 ? 4500 : 3300;
        x.beginRow(s);
        x.integer("Num", s);
        x.text("StoryName", "第" + std::to_string(s) + "层");
        x.real("Heigh", height);
        x.real("Elevation", elevation);
        x.keyRef("MdulK", "S_Mdul_K", s == shape.storeys ? 2 : 1);
        x.keyRef("PlanK", "S_Plan_K", 1);
        x.endRow();
        elevation += height;
    }
    x.endTable();

    x.beginTable("NodeTable");
    for (int level = 0; level <= shape.storeys; ++level)
        for (int j = 0; j <= shape.baysY; ++j)
            for (int i = 0; i <= shape.baysX; ++i) {
                x.beginRow(layout.node(level, i, j));
                x.real("x", i * kBay + random.uniform(-0.5, 0.5));
                x.real("y", j * kBay + random.uniform(-0.5, 0.5));
                x.endRow();
            }
    x.endTable();

    // Axis lines through the grid: group 1 along x, group 2 along y. An
    // axis's centre node is the grid node at its midpoint, when it has one.
    auto middle = [](int bays) { return bays % 2 == 0 ? bays / 2 : -1; };
    x.beginTable("AxisTable");
    long long key = 1;
    for (int j = 0; j <= shape.baysY; ++j) {
        x.beginRow(key++);
        x.text("Name", std::string(1, static_cast<char>('A' + j % 26)) + (j >= 26 ? std::to_string(j / 26) : ""));
        x.keyRef("GroupKey", "S_AxisGroup_K", 1);
        x.keyRef("StartNodeKey", "S_Node_K", layout.node(0, 0, j));
        x.keyRef("EndNodeKey", "S_Node_K", layout.node(0, shape.baysX, j));
        x.keyRef("CenterNodeKey", "S_Node_K", middle(shape.baysX) < 0 ? 0 : layout.node(0, middle(shape.baysX), j));
        x.endRow();
    }
    for (int i = 0; i <= shape.baysX; ++i) {
        x.beginRow(key++);
        x.text("Name", std::to_string(i + 1));
        x.keyRef("GroupKey", "S_AxisGroup_K", 2);
        x.keyRef("StartNodeKey", "S_Node_K", layout.node(0, i, 0));
        x.keyRef("EndNodeKey", "S_Node_K", layout.node(0, i, shape.baysY));
        x.keyRef("CenterNodeKey", "S_Node_K", middle(shape.baysY) < 0 ? 0 : layout.node(0, i, middle(shape.baysY)));
        x.endRow();
    }
    x.endTable();

    writeTextTable(x, "AxisGroupTable", {{{"Name", "横向轴网"}}, {{"Name", "纵向轴网"}}});
}

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

void writeMemberTables(Xml& x, const Layout& layout, Random& random)
{
    const int storeys = layout.shape.storeys;
    long long perStorey = elementsPerStorey(layout);
    auto elementKey = [&](int storey, Kind kind, long long index) {
        long long offset = 0;
        if (kind != Kind::Beam) offset += layout.beamsPerStorey();
        if (kind != Kind::Beam && kind != Kind::Column) offset += layout.columnsPerStorey();
        if (kind == Kind::Wall || kind == Kind::Slab) offset += layout.bracesPerStorey();
        if (kind == Kind::Slab) offset += layout.wallsPerStorey();
        return firstKey(perStorey, storey) + offset + index;
    };

    x.beginTable("ElementTable");
    for (int s = 1; s <= storeys; ++s)
        forEachMember(layout, s, [&](Kind kind, long long index, const std::vector<long long>& nodes) {
            x.beginRow(elementKey(s, kind, index));
            x.integer("Elpro", static_cast<int>(kind) + 1);
            x.real("Angle", kind == Kind::Column ? 90.0 : 0.0);
            x.integer("MembType", static_cast<int>(kind) + 1);
            for (const char* e : {"Ecx1", "Ecy1", "Ecz1", "Ecx2", "Ecy2", "Ecz2"})
                x.integer(e, random.pick(3) - 1);
            x.keyRef("ElMatl", "S_DesignMaterial_K", kind == Kind::Brace ? 3 : s <= storeys / 2 ? 2 : 1);
            x.keyRef("PStorK", "S_Floor_K", s);
            x.keyList("PNodeKeyList", "S_Node_K", nodes);
            x.endRow();
        });
    x.endTable();

    auto memberTable = [&](const char* name, Kind wanted, long long perStoreyCount, bool withKind) {
        x.beginTable(name);
        for (int s = 1; s <= storeys; ++s)
            forEachMember(layout, s, [&](Kind kind, long long index, const std::vector<long long>&) {
                if (kind != wanted)
                    return;
                x.beginRow(firstKey(perStoreyCount, s) + index);
                x.integer("MembType", static_cast<int>(kind) + 1);
                if (withKind)
                    x.integer("MembKind", 1);
                x.keyRef("PStorK", "S_Floor_K", s);
                x.keyList("PElemK", "S_Element_K", {elementKey(s, kind, index)});
                if (kind == Kind::Wall)
                    x.text("Openings", index == 0 ? "1" : "");
                x.endRow();
            });
        x.endTable();
    };
    memberTable("BeamTable", Kind::Beam, layout.beamsPerStorey(), false);

    x.beginTable("BeamGroupTable");
    for (int s = 1; s <= storeys; ++s) {
        std::vector<long long> beams;
        for (long long b = 0; b < layout.beamsPerStorey(); ++b)
            beams.push_back(firstKey(layout.beamsPerStorey(), s) + b);
        x.beginRow(s);
        x.keyList("BeamList", "S_Beam_K", beams);
        x.endRow();
    }
    x.endTable();

    memberTable("ColumnTable", Kind::Column, layout.columnsPerStorey(), true);
    memberTable("BraceTable", Kind::Brace, layout.bracesPerStorey(), false);
    memberTable("WallTable", Kind::Wall, layout.wallsPerStorey(), false);

    x.beginTable("WallLLTable");
    for (int s = 1; s <= storeys; ++s)
        for (long long w = 0; w < layout.wallsPerStorey(); ++w) {
            // A coupling beam spans along y in its wall's plane (at 90 degrees to
            // x), flush with the outer face and the floor, its ends 100 mm inside
            // the piers' nodes; the taller ground storey's beams sit under the
            // window heads, 600 mm down.
            x.beginRow(firstKey(layout.wallsPerStorey(), s) + w);
            int outward = w == 0 ? -1 : 1;
            x.integer("BetaAngle", 90);
            x.integer("Ecx1", 25 * outward);
            x.integer("Ecy1", 100);
            x.integer("Ecz1", -400);
            x.integer("Ecx2", 25 * outward);
            x.integer("Ecy2", -100);
            x.integer("Ecz2", -400);
            x.integer("Width", 200);
            x.integer("Height", 800);
            x.integer("ElevDiff", s == 1 ? -600 : 0);
            x.keyRef("MaterialKey", "S_DesignMaterial_K", 1);
            x.keyRef("SectionKey", "S_Section_K", 4);
            x.keyRef("PStorK", "S_Floor_K", s);
            int i = w == 0 ? 0 : layout.shape.baysX;
            x.keyRef("NodeKey1", "S_Node_K", layout.node(s, i, 0));
            x.keyRef("NodeKey2", "S_Node_K", layout.node(s, i, 1));
            x.endRow();
        }
    x.endTable();

    x.beginTable("WallColumnTable");
    for (int s = 1; s <= storeys; ++s)
        for (long long c = 0; c < layout.wallColumnsPerStorey(); ++c) {
            long long wall = c / 2;
            x.beginRow(firstKey(layout.wallColumnsPerStorey(), s) + c);
            x.integer("WallColumnType", 1 + static_cast<int>(c % 2));
            int i = wall == 0 ? 0 : layout.shape.baysX;
            x.keyRef("NodeKey", "S_Node_K", layout.node(s, i, static_cast<int>(c % 2)));
            x.keyRef("PStorK", "S_Floor_K", s);
            x.keyList("WallEleKeys", "S_Element_K", {elementKey(s, Kind::Wall, wall)});
            x.doubles("Lcs", {1, 0, 0, 0, 1, 0, 0, 0, 1});
            x.doubles("Lss", {200, 600, 3300});
            x.endRow();
        }
    x.endTable();

    x.beginTable("SlabTable");
    for (int s = 1; s <= storeys; ++s)
        forEachMember(layout, s, [&](Kind kind, long long index, const std::vector<long long>& nodes) {
            if (kind != Kind::Slab)
                return;
            // Below the roof, the bays along the first x axis carry 1.5 m
            // balconies, 50 mm down and spanning along y; the last bay holds a
            // shaft opening.
            bool balcony = s < storeys && index < layout.shape.baysX;
            x.beginRow(firstKey(layout.slabsPerStorey(), s) + index);
            x.integer("SlabType", 1);
            x.real("ElevationDiff", balcony ? -50.0 : 0.0);
            x.real("CantiLength", balcony ? 1500.0 : 0.0);
            x.real("XAngle", balcony ? 90.0 : 0.0);
            x.integer("SlabStyle", balcony ? 2 : 0);
            x.keyRef("PStorK", "S_Floor_K", s);
            x.keyRef("ThicknessKey", "S_Thickness_K", 1 + random.pick(2));
            x.keyRef("MaterialKey", "S_DesignMaterial_K", 1);
            x.text("Openings", index == layout.slabsPerStorey() - 1 ? "3" : "");
            x.open("Supports");
            for (int edge = 0; edge < 4; ++edge) {
                x.open("S_Support");
                x.integer("BoudaryCondition", 1 + random.pick(2));
                x.keyList("NodeList", "S_Node_K", {nodes[edge], nodes[(edge + 1) % 4]});
                x.close("S_Support");
            }
            x.close("Supports");
            x.endRow();
        });
    x.endTable();
}

void writeClosingTables(Xml& x)
{
    // Per end, one digit per degree of freedom (fx, fy, fz, mx, my, mz): 0
    // fixed, 1 released, 2 elastic, with the spring's stiffness (kN/m,
    // kN*m/rad) as its value. Type 1 pins both ends; type 2 is an
    // elastomeric bearing at each end.
    struct Release {
        const char* flag;
        int values[6];
    };
    const Release releases[] = {{"000011", {0, 0, 0, 0, 1, 1}},
                                {"222222", {2000, 2000, 800000, 5000, 12000, 12000}}};
    x.beginTable("MemberEndRlsTable");
    int key = 1;
    for (const Release& r : releases) {
        x.beginRow(key);
        x.integer("nType", key++);
        for (const char* end : {"I", "J"}) {
            x.text((std::string("flag") + end).c_str(), r.flag);
            const char* dofs[] = {"fx", "fy", "fz", "mx", "my", "mz"};
            for (int d = 0; d < 6; ++d)
                x.integer((dofs[d] + std::string(end)).c_str(), r.values[d]);
        }
        x.endRow();
    }
    x.endTable();

    writeTextTable(x, "MdulTable", {{{"ModulName", "标准层"}}, {{"ModulName", "屋面层"}}});
    writeTextTable(x, "PlanTable",
                   {{{"PlanName", "标准平面"}, {"WallType", "剪力墙"}, {"SlabType", "现浇板"}, {"LoadType", "办公"},
                     {"MatlKColumn", "C35"}, {"MatlKBeam", "C30"}, {"MatlKSlab", "C30"}, {"MatlKWall", "C35"},
                     {"MatlKBrace", "Q355"}, {"ThikKSlab", "120"}}});
}

std::string number(Random& random, double low, double high)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", random.uniform(low, high));
    return buffer;
}

void writeBarGroup(Xml& x, const char* name, Random& random)
{
    int dia = 16 + 2 * random.pick(8), count = 2 + random.pick(5);
    x.open(name);
    x.text("RebarName", std::to_string(count) + "C" + std::to_string(dia));
    x.text("Grade", "HRB400");
    x.text("Dia", std::to_string(dia));
    x.text("Number", std::to_string(count));
    x.close(name);
}

void writeBarLayout(Xml& x, const char* name, Random& random)
{
    int dia = 8 + 2 * random.pick(3);
    x.open(name);
    x.text("RebarName", "C" + std::to_string(dia) + "@100/200");
    x.text("Grade", "HPB300");
    x.text("Number", std::to_string(2 + random.pick(3)));
    x.text("Dia", std::to_string(dia));
    x.text("Space", "100");
    x.close(name);
}

void writeForces(Xml& x, const char* name, Random& random, bool withT = true)
{
    x.open(name);
    x.text("N", number(random, -5000, 500));
    x.text("Mx", number(random, -500, 500));
    x.text("My", number(random, -500, 500));
    x.text("Vx", number(random, -300, 300));
    x.text("Vy", number(random, -300, 300));
    if (withT)
        x.text("T", number(random, -50, 50));
    x.close(name);
}

void writeDesignSection(Xml& x, const BuildingShape& shape, Random& random)
{
    const Layout layout(shape);
    const int storeys = shape.storeys;
    x.beginTable("RcDgnGlobalTable");
    x.beginRow(1);
    x.text("Gamma0", "1.0");
    x.endRow();
    x.endTable();

    x.beginTable("BeamTable");
    for (long long k = 1; k <= layout.beamsPerStorey() * storeys; ++k) {
        x.beginRow(k);
        x.text("TopCovering", "20");
        x.text("BottomCovering", "20");
        x.text("SideCovering", "20");
        x.text("SeismicGrade", "二级");
        x.text("SeismicIntensity", "7");
        for (const char* section : {"ISection", "MSection", "JSection"}) {
            x.open(section);
            x.text("MainBarGrade", "HRB400");
            x.text("StirrupGrade", "HPB300");
            x.text("SideBarGrade", "HRB400");
            for (const char* e : {"ReqAsTop", "ReqAsTopCorner", "ReqAsTopMiddle", "ReqAsBottom", "ReqAsTorsion",
                                  "ReqAsStirrup"})
                x.text(e, number(random, 0, 2000));
            x.text("StirrupSpace", "100");
            x.text("MaxRebarRatio", "2.50");
            x.text("MinRebarRatio", "0.20");
            writeBarLayout(x, "StirrupBar", random);
            writeBarGroup(x, "SideBar", random);
            x.text("TopCornerBar", "2C20");
            x.text("TopMiddleBar", "2C18");
            x.text("BottomBar", "4C22");
            for (const char* f : {"Force", "Force_Q", "Force_K"})
                writeForces(x, f, random);
            x.close(section);
        }
        x.endRow();
    }
    x.endTable();

    x.beginTable("ColumnTable");
    for (long long k = 1; k <= layout.columnsPerStorey() * storeys; ++k) {
        x.beginRow(k);
        x.text("Covering", "20");
        x.text("SeismicGrade", "二级");
        x.text("SeismicIntensity", "7");
        x.text("NFcA", number(random, 0.2, 0.8));
        x.text("K_Major", "1.25");
        x.text("K_Minor", "1.25");
        x.text("MainBarGrade", "HRB400");
        x.text("StirrupGrade", "HPB300");
        for (const char* e : {"ReqCornerAs", "ReqMajorAxisAs", "ReqMinorAxisAs", "ReqMajorStirrupAsOfCenter",
                              "ReqMinorStirrupAsOfCenter", "ReqMajorStirrupAsOfEnd", "ReqMinorStirrupAsOfEnd"})
            x.text(e, number(random, 0, 3000));
        x.text("StirrupSpace", "100");
        for (const char* g : {"CornerBar", "MidMajorAxisBar", "MidMinorAxisBar"})
            writeBarGroup(x, g, random);
        for (const char* l : {"StirrupBarOfCircle", "MajorStirrupBarOfCenter", "MinorStirrupBarOfCenter",
                              "MajorStirrupBarOfEnd", "MinorStirrupBarOfEnd"})
            writeBarLayout(x, l, random);
        for (const char* f : {"ForceUp", "ForceCent", "ForceDown"})
            writeForces(x, f, random);
        x.endRow();
    }
    x.endTable();

    x.beginTable("WallTable");
    for (long long k = 1; k <= layout.wallsPerStorey() * storeys; ++k) {
        x.beginRow(k);
        for (const char* e : {"Dw", "De", "Qe", "Qi"})
            x.text(e, number(random, 0, 10));
        x.text("SeismicGrade", "二级");
        x.text("SeismicIntensity", "7");
        x.text("NFcA", number(random, 0.1, 0.6));
        x.text("HBarGrade", "HRB400");
        x.text("VBarGrade", "HRB400");
        x.text("ReqAsHorizontal", number(random, 0, 1000));
        x.text("ReqAsVertical", number(random, 0, 1000));
        x.text("HorSpace", "200");
        x.text("VerRate", "0.25");
        writeForces(x, "ForceUp", random, false);
        writeForces(x, "ForceDown", random);
        x.endRow();
    }
    x.endTable();

    x.beginTable("WallLLTable");
    for (long long k = 1; k <= layout.wallsPerStorey() * storeys; ++k) {
        x.beginRow(k);
        x.text("SeismicGrade", "二级");
        x.text("SeismicIntensity", "7");
        x.text("MainBarGrade", "HRB400");
        x.text("StirrupBarGrade", "HPB300");
        x.text("Space", "100");
        for (const char* e : {"ReqTopAs", "ReqBottomAs", "ReqStirrupAs", "ReqSideAs"})
            x.text(e, number(random, 0, 1500));
        writeBarGroup(x, "TopRebar", random);
        writeBarGroup(x, "BottomRebar", random);
        writeBarGroup(x, "BottomRebar", random);
        x.open("StirrupRebar");
        x.text("RebarName", "C10@100");
        x.text("Grade", "HPB300");
        x.text("Dia", "10");
        x.text("Space", "100");
        x.text("Legs", "2");
        x.close("StirrupRebar");
        x.endRow();
    }
    x.endTable();

    x.beginTable("WallColumnTable");
    for (long long k = 1; k <= layout.wallColumnsPerStorey() * storeys; ++k) {
        x.beginRow(k);
        x.text("SeismicGrade", "二级");
        x.text("SeismicIntensity", "7");
        x.text("MainBarGrade", "HRB400");
        x.text("HoopBarGrade", "HPB300");
        x.text("ReqMainAs", number(random, 0, 2000));
        x.text("ReqHoopAs", number(random, 0, 500));
        x.text("LemdaVs", number(random, 0.1, 0.2));
        x.text("HoopDia", "8");
        x.text("HoopSpace", "100");
        x.endRow();
    }
    x.endTable();

    x.beginTable("SlabTable");
    for (long long k = 1; k <= layout.slabsPerStorey() * storeys; ++k) {
        x.beginRow(k);
        x.text("WeaponLoad", "0");
        x.text("NuclearWeaponLoad", "0");
        x.text("BottomBarGrade", "HRB400");
        x.text("TopBarGrade", "HRB400");
        x.text("SupportBarGrade", "HRB400");
        for (const char* e : {"ReqBottomAs_X", "ReqBottomAs_Y", "ReqTopAs_X", "ReqTopAs_Y"})
            x.text(e, number(random, 0, 800));
        x.doubles("ReqSupportAs", {random.uniform(0, 800), random.uniform(0, 800), random.uniform(0, 800),
                                   random.uniform(0, 800)});
        x.text("MomemtKOnX", number(random, 0, 50));
        x.text("MomemtKOnY", number(random, 0, 50));
        x.doubles("MomentKOnSupports", {random.uniform(-80, 0), random.uniform(-80, 0), random.uniform(-80, 0),
                                        random.uniform(-80, 0)});
        x.text("MomemtQOnX", number(random, 0, 50));
        x.text("MomemtQOnY", number(random, 0, 50));
        x.doubles("MomentQOnSupports", {random.uniform(-80, 0), random.uniform(-80, 0), random.uniform(-80, 0),
                                        random.uniform(-80, 0)});
        x.endRow();
    }
    x.endTable();
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
    Xml x(out);
    Random random(shape.seed);
    const Layout layout(shape);
    x.raw("<?xml version=\"1.0\" encoding=\"utf-8\"?>");
    x.raw(kModelFormat);
    x.raw("\n<Dictionary xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n<Pairs>\n");
    x.beginSection("ModelDB");
    writeGeneralTables(x, shape);
    writeSectionTables(x, random);
    writeMaterialTables(x);
    writeGridTables(x, layout, random);
    writeMemberTables(x, layout, random);
    writeClosingTables(x);
    x.endSection();
    x.beginSection("DesignDB");
    writeDesignSection(x, shape, random);
    x.endSection();
    x.raw("</Pairs>\n</Dictionary>\n");
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
