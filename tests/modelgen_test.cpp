// The model generator: deterministic files whose every record imports.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "tools/modelgen/ModelWriter.h"

using namespace testsupport;

namespace {

std::string generate(const modelgen::BuildingShape& shape)
{
    TempFile file("");
    std::FILE* out = std::fopen(file.path().c_str(), "wb");
    EXPECT_NE(out, nullptr);
    long long bytes = modelgen::writeModel(shape, out);
    std::fclose(out);
    std::string text = readFile(file.path());
    EXPECT_EQ(bytes, static_cast<long long>(text.size()));
    return text;
}

TEST(ModelGenerator, SameSeedSameFileOtherSeedOtherValues)
{
    modelgen::BuildingShape shape{2, 2, 1, 7};
    std::string first = generate(shape), again = generate(shape);
    EXPECT_EQ(first, again);
    shape.seed = 8;
    std::string other = generate(shape);
    EXPECT_NE(first, other);
}

TEST(ModelGenerator, EveryRecordImports)
{
    const modelgen::BuildingShape shapes[] = {{1, 1, 1, 1}, {4, 3, 2, 5}, {2, 7, 1, 9}};
    for (const auto& shape : shapes) {
        Json store = importText(generate(shape));
        modelgen::RecordCounts expected = modelgen::countRecords(shape);
        const struct {
            const char* section;
            const char* table;
            long long count;
        } tables[] = {
            {"model", "Floor", expected.floors},          {"model", "Node", expected.nodes},
            {"model", "Axis", expected.axes},             {"model", "Element", expected.elements},
            {"model", "Beam", expected.beams},            {"model", "BeamGroup", shape.storeys},
            {"model", "Column", expected.columns},        {"model", "Brace", expected.braces},
            {"model", "Wall", expected.walls},            {"model", "WallLL", expected.wallBeams},
            {"model", "WallColumn", expected.wallColumns}, {"model", "Slab", expected.slabs},
            {"model", "ProjectInfo", 1},                  {"model", "Plan", 1},
            {"design", "RcDgnGlobal", 1},                 {"design", "RcDesignBeam", expected.beams},
            {"design", "RcDesignColumn", expected.columns}, {"design", "RcDesignWall", expected.walls},
            {"design", "RcDesignWallLL", expected.wallBeams},
            {"design", "RcDesignWallColumn", expected.wallColumns}, {"design", "RcDesignSlab", expected.slabs},
        };
        for (const auto& t : tables)
            EXPECT_EQ(static_cast<long long>(rows(store, t.section, t.table).size()), t.count)
                << t.table << " for " << shape.storeys << " storeys";
        EXPECT_EQ(rows(store, "model", "Floor")[0]["value"]["StoryName"], "第1层");
        // Element node lists refer to existing nodes.
        for (const auto& element : rows(store, "model", "Element"))
            for (const auto& entry : element["value"]["PNodeKeyList"])
                EXPECT_LE(entry[1].get<long long>(), expected.nodes);
    }
}

TEST(ModelGenerator, SizeTargetSetsTheStoreys)
{
    modelgen::BuildingShape shape{1, 4, 3, 1};
    shape.storeys = modelgen::storeysForSize(shape, 2000000);
    long long bytes = modelgen::writeModel(shape, nullptr);
    EXPECT_GT(bytes, 1800000);
    EXPECT_LT(bytes, 2200000);
    EXPECT_EQ(modelgen::storeysForSize(shape, 10), 1);
}

} // namespace

namespace {

TEST(ModelGenerator, BundledSampleIsTheGeneratorsOutput)
{
    // samples/sample.xml: modelgen --storeys 6 --bays-x 4 --bays-y 3 --seed 2026
    EXPECT_EQ(generate({6, 4, 3, 2026}), readFile(std::string(SAMPLES_DIR) + "/sample.xml"));
}

} // namespace
