// The model generator: deterministic files whose every record imports.
#include <algorithm>
#include <fstream>

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

namespace {

// The modelgen command, run with its standard error captured.
struct Command {
    int status;
    std::string errors; // standard error
    bool wrote;         // the -o file exists
    std::string file;   // its content
};

Command modelgen(const std::string& arguments, bool withOutput = true)
{
    TempFile scratch("", "placeholder");
    std::string out = scratch.path() + ".xml";
    std::string command = std::string("'") + MODELGEN_PATH + "' " + arguments;
    if (withOutput)
        command += " -o '" + out + "'";
    CommandResult result = run(command + " 2>&1 >/dev/null");
    std::ifstream probe(out);
    return {result.status, result.out, probe.good(), readFile(out)};
}

TEST(ModelgenCommand, BadArgumentsExitTwoAnUnwritableFileOne)
{
    const struct {
        const char* arguments;
        const char* message;
    } cases[] = {
        {"--seed -1", "--seed: takes a whole number from 0 to 18446744073709551615, not '-1'"},
        {"--seed 18446744073709551616", "not '18446744073709551616'"},
        {"--seed 1.5", "--seed: takes a whole number"},
        {"--seed x", "--seed: takes a whole number"},
        {"--size 0", "--size: takes a size of at least 1 byte"},
        {"--size -5K", "not '-5K'"},
        {"--size 0.4", "not '0.4'"},
        {"--size 10X", "not '10X'"},
        {"--size K10", "not 'K10'"},
        {"--size nan", "not 'nan'"},
        {"--size 1e999", "not '1e999'"},
        {"--storeys 0", "--storeys"},
        {"--storeys 1000001", "--storeys"},
        {"--storeys two", "--storeys"},
        {"--bays-x 0", "--bays-x"},
        {"--bays-y -1", "--bays-y"},
        {"--storeys 2 --size 1M", "excludes"},
        {"extra", "modelgen: unexpected argument: extra"},
        {"--seed 1 extra --bogus another", "modelgen: unexpected arguments: extra --bogus another"},
        {"--bogus", "modelgen: unexpected argument: --bogus"},
        {"--size", "--size"},
    };
    for (const auto& c : cases) {
        Command result = modelgen(c.arguments);
        EXPECT_EQ(result.status, 2) << c.arguments;
        EXPECT_FALSE(result.wrote) << c.arguments;
        EXPECT_EQ(result.errors.rfind("modelgen: ", 0), 0u) << c.arguments << ": " << result.errors;
        EXPECT_NE(result.errors.find(c.message), std::string::npos) << c.arguments << ": " << result.errors;
        EXPECT_EQ(std::count(result.errors.begin(), result.errors.end(), '\n'), 1) << c.arguments << ": "
                                                                                   << result.errors;
    }
    Command noOutput = modelgen("--storeys 1", false);
    EXPECT_EQ(noOutput.status, 2);
    EXPECT_EQ(noOutput.errors, "modelgen: --output is required (see 'modelgen --help')\n");

    Command unwritable = modelgen("--storeys 1 -o /nonexistent/dir/model.xml", false);
    EXPECT_EQ(unwritable.status, 2);
    EXPECT_EQ(unwritable.errors, "modelgen: cannot write /nonexistent/dir/model.xml: No such file or directory\n");
}

TEST(ModelgenCommand, HelpNamesTheDefaultsAndExitStatuses)
{
    CommandResult out = run(std::string("'") + MODELGEN_PATH + "' --help");
    EXPECT_EQ(out.status, 0);
    const modelgen::BuildingShape defaults;
    for (const std::string& shown :
         {"--storeys INT:INT in [1 - 1000000]=" + std::to_string(defaults.storeys),
          "--bays-x INT:INT in [1 - 10000]=" + std::to_string(defaults.baysX),
          "--bays-y INT:INT in [1 - 10000]=" + std::to_string(defaults.baysY),
          "--seed UINT=" + std::to_string(defaults.seed), std::string("250K, 10M, 1g"),
          std::string("0 when the file is written; 2 for bad arguments, an --output")})
        EXPECT_NE(out.out.find(shown), std::string::npos) << shown << " in\n" << out.out;
}

TEST(ModelgenCommand, SizeUnitsInEitherCaseAndANoteWhenTheSizeCannotBeMet)
{
    // Suffixes in either case, with or without B, give the same file.
    const std::string grid = "--bays-x 1 --bays-y 1 --size ";
    Command lower = modelgen(grid + "300k"), upper = modelgen(grid + "300K");
    Command bytes = modelgen(grid + "0.3mB"), plain = modelgen(grid + "300000");
    ASSERT_EQ(lower.status, 0) << lower.errors;
    EXPECT_EQ(lower.errors.find("note"), std::string::npos) << lower.errors;
    EXPECT_GT(lower.file.size(), 250000u);
    EXPECT_LT(lower.file.size(), 350000u);
    for (const Command* other : {&upper, &bytes, &plain}) {
        EXPECT_EQ(other->status, 0) << other->errors;
        EXPECT_EQ(other->file, lower.file);
    }

    // Below the one-storey model: that model is written, and said so.
    const modelgen::BuildingShape oneStorey{1, 4, 3, 1};
    const std::string smallest = std::to_string(modelgen::writeModel(oneStorey, nullptr));
    const struct {
        const char* size;
        const char* asked;
    } cases[] = {{"1", "1 byte"}, {"100K", "100000 bytes"}, {"0.1m", "100000 bytes"}};
    for (const auto& c : cases) {
        Command result = modelgen(std::string("--bays-x 4 --bays-y 3 --size ") + c.size);
        EXPECT_EQ(result.status, 0) << c.size;
        EXPECT_EQ(std::to_string(result.file.size()), smallest) << c.size;
        EXPECT_EQ(result.errors, "modelgen: note: no model of 4 x 3 bays is as small as " + std::string(c.asked) +
                                     "; wrote the smallest, " + smallest + " bytes\nmodelgen: 1 storey, 4 x 3 bays, " +
                                     smallest + " bytes\n")
            << c.size;
    }
}

TEST(ModelgenCommand, SummaryCountsInTheRightNumber)
{
    const struct {
        const char* arguments;
        const char* summary;
    } cases[] = {
        {"--storeys 1 --bays-x 1 --bays-y 1", "modelgen: 1 storey, 1 x 1 bay, "},
        {"--storeys 2 --bays-x 2 --bays-y 1", "modelgen: 2 storeys, 2 x 1 bays, "},
        {"--storeys 1 --bays-x 1 --bays-y 2 --seed 0", "modelgen: 1 storey, 1 x 2 bays, "},
    };
    for (const auto& c : cases) {
        Command result = modelgen(c.arguments);
        EXPECT_EQ(result.status, 0) << c.arguments;
        EXPECT_EQ(result.errors, c.summary + std::to_string(result.file.size()) + " bytes\n") << c.arguments;
    }
}

} // namespace
