// A row built from a host record, field by field, for files made by hand
// (the scaling benchmark's models, the tests' small models): the fields
// named by member pointer, written by their kinds (RecordWriter.h), so a
// row never spells an element name. Completing a row with defaults gives
// every field of its table; a row built AsGiven holds only what it is
// given, for a model that must stay as small as its test wants it.
#pragma once

#include <cstddef>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include "schema/DesignSchema.h"
#include "schema/ModelSchema.h"
#include "tools/modelgen/RecordWriter.h"

namespace modelgen {

// What a row of some tables holds for the fields it is not given, so that
// no model row is reported for a missing field and every design row holds
// its whole chain: a scale model grows what it says and nothing else. Key
// references name key 1 unless said otherwise; the rest is what a record
// starts with (0, "", empty lists). A table without defaults keeps its
// rows as given.
namespace rowdefaults {

using namespace building_modelDB;
using namespace building_designDB;

template <class R>
bool defaults(R&)
{
    return false;
}

template <class R>
R referringToFirstRows()
{
    R record;
    schema::forEachMember<R>([&](const auto& f) {
        if constexpr (std::is_same_v<std::decay_t<decltype(f.kind)>, schema::KeyRef>)
            record.*f.member = 1;
    });
    return record;
}

inline bool defaults(S_Floor_D& f)
{
    f = referringToFirstRows<S_Floor_D>();
    f.Num = 1;
    f.StoryName = "F";
    f.Heigh = 3000;
    return true;
}
inline bool defaults(S_Axis_D& a)
{
    a = referringToFirstRows<S_Axis_D>();
    a.Name = "A";
    a.CenterNodeKey = 0;
    return true;
}
inline bool defaults(S_Element_D& e)
{
    e = referringToFirstRows<S_Element_D>();
    e.Elpro = 1;
    e.MembType = 1;
    return true;
}
inline bool defaults(S_Beam_D& b)
{
    b.MembType = 1;
    return true;
}
inline bool defaults(S_Brace_D& b)
{
    b.MembType = 3;
    return true;
}
inline bool defaults(S_Column_D& c)
{
    c.MembType = 2;
    c.MembKind = 1;
    return true;
}
inline bool defaults(S_Wall_D& w)
{
    w.MembType = 4;
    return true;
}
inline bool defaults(S_WallLL_D& b)
{
    b = referringToFirstRows<S_WallLL_D>();
    b.BetaAngle = 90;
    b.Width = 200;
    b.Height = 800;
    return true;
}
inline bool defaults(S_WallColumn_D& c)
{
    c = referringToFirstRows<S_WallColumn_D>();
    c.WallColumnType = 1;
    addEntries(c, &S_WallColumn_D::Lcs, std::vector<double>{1});
    addEntries(c, &S_WallColumn_D::Lss, std::vector<double>{1});
    return true;
}
inline bool defaults(S_Slab_D& s)
{
    s = referringToFirstRows<S_Slab_D>();
    s.SlabType = 1;
    return true;
}
inline bool defaults(S_RcDesignSlab_D& s)
{
    s.WeaponLoad = "0";
    s.NuclearWeaponLoad = "0";
    s.BottomBarGrade = s.TopBarGrade = s.SupportBarGrade = "HRB400";
    s.ReqBottomAs_X = s.ReqBottomAs_Y = s.ReqTopAs_X = s.ReqTopAs_Y = "1";
    s.MomemtKOnX = s.MomemtKOnY = "2";
    s.MomemtQOnX = s.MomemtQOnY = "3";
    return true;
}
inline bool defaults(S_RcDesignWallColumn_D& c)
{
    c.SeismicGrade = "2";
    c.SeismicIntensity = "7";
    c.MainBarGrade = "HRB400";
    c.HoopBarGrade = "HPB300";
    c.ReqMainAs = "100";
    c.ReqHoopAs = "0.5";
    c.LemdaVs = "0.1";
    c.HoopDia = "8";
    c.HoopSpace = "100";
    return true;
}

} // namespace rowdefaults

// The position of a member in its record's field list.
template <class R, class M>
std::size_t fieldIndex(M R::*member)
{
    std::size_t index = 0, found = 0;
    schema::forEachMember<R>([&](const auto& f) {
        if constexpr (std::is_same_v<std::decay_t<decltype(f.member)>, M R::*>)
            if (f.member == member)
                found = index;
        ++index;
    });
    return found;
}

// Calls f(field) with the field at `index` of record R's list.
template <class R, class F>
void atField(std::size_t index, F&& f)
{
    std::size_t i = 0;
    schema::forEachMember<R>([&](const auto& field) {
        if (i++ == index)
            f(field);
    });
}

enum class Completion { WithDefaults, AsGiven };

// A row's fields: those it is given, in the order given, each as its kind
// writes it (or as text that stands in the file as it is, for a fault or
// a value the kind would write otherwise); then, for a table with
// defaults and unless built AsGiven, every field not given, in member
// order, from the defaults.
template <class R>
class Row {
public:
    explicit Row(Completion completion = Completion::WithDefaults)
        : m_complete(rowdefaults::defaults(m_defaults) && completion == Completion::WithDefaults)
    {
    }

    template <class M, class V>
    Row& set(M R::*member, const V& value)
    {
        m_record.*member = static_cast<M>(value);
        m_given.push_back({fieldIndex(member), false, {}});
        return *this;
    }
    template <class L, class T>
    Row& set(L* R::*member, const std::vector<T>& values)
    {
        addEntries(m_record, member, values);
        m_given.push_back({fieldIndex(member), false, {}});
        return *this;
    }
    // The element's content as it stands in the file.
    template <class M>
    Row& text(M R::*member, const std::string& asInFile)
    {
        m_given.push_back({fieldIndex(member), true, asInFile});
        return *this;
    }
    // A sub-record holding only the fields its row is given.
    template <class M>
    Row& sub(M R::*member, const Row<M>& row)
    {
        return text(member, row.fields());
    }

    std::string fields() const
    {
        std::string out;
        XmlOut x(out);
        std::vector<bool> given(std::tuple_size_v<decltype(schema::Described<R>::fields)>);
        for (const Given& g : m_given) {
            given[g.index] = true;
            atField<R>(g.index, [&](const auto& f) {
                if (!g.asText) {
                    writeField(x, m_record, f);
                    return;
                }
                x.open(f.element);
                x.raw(g.text);
                x.close(f.element);
            });
        }
        if (m_complete)
            for (std::size_t i = 0; i < given.size(); ++i)
                if (!given[i])
                    atField<R>(i, [&](const auto& f) { writeField(x, m_defaults, f); });
        return out;
    }

private:
    struct Given {
        std::size_t index;
        bool asText;
        std::string text;
    };
    R m_record, m_defaults;
    bool m_complete;
    std::vector<Given> m_given;
};

} // namespace modelgen
