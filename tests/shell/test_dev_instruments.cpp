#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "production/parts.hpp"
#include "render/scene_context.hpp"
#include "shell/dev_instruments.hpp"
#include "shell/dev_instruments_asset_report.hpp"
#include "shell/dev_instruments_snapshots.hpp"
#include "shell/frame_input.hpp"

namespace {

namespace fs = std::filesystem;

// A fresh directory per test, removed afterwards.
class TempDir {
public:
    TempDir() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = fs::temp_directory_path() /
                ("qm_dev_" + std::string(info->name()) + "_" + std::to_string(::getpid()));
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    fs::path path_;
};

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void write_file(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// A part that notes each render under its own number.
class noting_part : public parts {
public:
    noting_part(int id, std::vector<int>& log) : id_(id), log_(log) {}
    void render(double*, offscreen_target*, scene_context*, frame_input*) override { log_.push_back(id_); }
    void load(scene_context*) override {}

private:
    int id_;
    std::vector<int>& log_;
};

state_snapshot snapshot(double time, std::vector<double> values, std::vector<bool> a, std::vector<bool> b) {
    state_snapshot s;
    s.time = time;
    s.values = std::move(values);
    s.bits_a = std::move(a);
    s.bits_b = std::move(b);
    return s;
}

TEST(DevSwitches, AllOffUnlessTheBuildTurnsThemOn) {
    if (dev_switches_built_in()) GTEST_SKIP() << "built with QUILLMERE_DEV_SWITCHES";
    EXPECT_FALSE(g_dev_mode);
    EXPECT_FALSE(g_record_state);
    EXPECT_FALSE(g_load_state);
    EXPECT_FALSE(g_asset_report);
    EXPECT_FALSE(g_benchmark_log);
}

// ---- snapshots ----

TEST(Snapshots, TextFormat) {
    std::ostringstream out;
    write_state_snapshots(out, {snapshot(2.5, {1.5, 0.1234567}, {true, false}, {false, true}),
                                snapshot(1e-7, {}, {}, {})});
    EXPECT_EQ(out.str(), "2\n\n\n2.5\n2\n1.5 1 0 0.123457 0 1 \n\n1e-07\n0\n");
}

TEST(Snapshots, SavedAndLoadedListKeepsTimesBitsAndValues) {
    TempDir dir;
    const std::vector<state_snapshot> saved = {
        snapshot(25.123456789, {3.14159265, -2.5e10, 0.0}, {true, false, true}, {false, false, true}),
        snapshot(146.0, {1e-9, 7.0}, {false, true}, {true, true}),
        snapshot(0.0, {}, {}, {}),
    };
    save_state_snapshots(saved, dir.file("state.txt"));
    std::vector<state_snapshot> loaded = {snapshot(9.0, {9.0}, {true}, {true})};  // emptied by the load
    load_state_snapshots(loaded, dir.file("state.txt"));

    ASSERT_EQ(loaded.size(), saved.size());
    for (std::size_t k = 0; k < saved.size(); ++k) {
        SCOPED_TRACE(k);
        EXPECT_NEAR(loaded[k].time, saved[k].time, 5e-6 * std::abs(saved[k].time));
        ASSERT_EQ(loaded[k].values.size(), saved[k].values.size());
        for (std::size_t i = 0; i < saved[k].values.size(); ++i)
            EXPECT_NEAR(loaded[k].values[i], saved[k].values[i], 5e-6 * std::abs(saved[k].values[i]));
        EXPECT_EQ(loaded[k].bits_a, saved[k].bits_a);
        EXPECT_EQ(loaded[k].bits_b, saved[k].bits_b);
    }

    load_state_snapshots(loaded, dir.file("absent.txt"));
    EXPECT_TRUE(loaded.empty());
}

TEST(Snapshots, CountsTheTextDoesNotHoldAreNotTrusted) {
    std::vector<state_snapshot> list;
    // Five promised, one whole, the second cut short: only the whole one stays.
    std::istringstream short_list("5\n\n\n1\n2\n0.5 1 0 0.25 0 1 \n\n2\n9\n1 1 1 ");
    read_state_snapshots(short_list, list);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].values, (std::vector<double>{0.5, 0.25}));
    EXPECT_EQ(list[0].bits_b, (std::vector<bool>{false, true}));

    // Enormous counts with nothing behind them end at once.
    std::istringstream huge_count("1000000000000000\n");
    read_state_snapshots(huge_count, list);
    EXPECT_TRUE(list.empty());
    std::istringstream huge_values("1\n\n\n3\n1000000000000000\n1 0 0 ");
    read_state_snapshots(huge_values, list);
    EXPECT_TRUE(list.empty());

    // A negative count, a bit other than 0 or 1, or text: nothing is read.
    for (const char* text : {"-3\n\n\n1\n1\n1 1 1 ", "1\n\n\n1\n1\n1 2 0 ", "x", "1\n\n\n1\n-1\n"}) {
        SCOPED_TRACE(text);
        std::istringstream in(text);
        read_state_snapshots(in, list);
        EXPECT_TRUE(list.empty());
    }
}

TEST(Snapshots, NearestSnapshotAndTies) {
    const std::vector<state_snapshot> list = {
        snapshot(10.0, {1.0}, {true}, {false}),
        snapshot(20.0, {2.0}, {false}, {true}),
        snapshot(40.0, {4.0}, {true}, {true}),
    };
    state_snapshot out;
    apply_nearest_snapshot(list, 15.0, out);  // 10 and 20 are equally near: the earlier wins
    EXPECT_EQ(out.time, 10.0);
    EXPECT_EQ(out.values, std::vector<double>{1.0});
    apply_nearest_snapshot(list, 31.0, out);
    EXPECT_EQ(out.time, 40.0);
    EXPECT_EQ(out.bits_b, std::vector<bool>{true});
    apply_nearest_snapshot(list, -1e300, out);  // farther than anything counts
    EXPECT_EQ(out.time, 0.0);
    EXPECT_TRUE(out.values.empty());

    out = list[2];
    apply_nearest_snapshot({}, 15.0, out);
    EXPECT_EQ(out.time, 0.0);
    EXPECT_TRUE(out.values.empty() && out.bits_a.empty() && out.bits_b.empty());
}

TEST(Snapshots, RecordingKeepsValuesBySlotAndSkipsEmptySlots) {
    std::vector<int> renders;
    noting_part part(0, renders);
    part.parameter = 0.75;
    parts* slots[11] = {&part};
    frame_input input;
    input.flags_a[0] = true;
    input.flags_b[8] = true;
    input.flags_a[9] = true;  // past the recorded entries

    state_snapshot current;
    std::vector<state_snapshot> list;
    record_state_snapshot(current, list, 12.5, input, slots);
    record_state_snapshot(current, list, 13.0, input, slots);

    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].time, 12.5);
    EXPECT_EQ(current.time, 13.0);
    ASSERT_EQ(list[0].values.size(), 9u);
    EXPECT_EQ(list[0].values[0], 0.75);
    for (int j = 1; j < 9; ++j) EXPECT_EQ(list[0].values[j], 0.0);
    EXPECT_EQ(list[0].bits_a, (std::vector<bool>{true, false, false, false, false, false, false, false, false}));
    EXPECT_EQ(list[0].bits_b, (std::vector<bool>{false, false, false, false, false, false, false, false, true}));
}

TEST(Snapshots, ReplayFromNumberKeys) {
    std::vector<int> renders;
    noting_part part(0, renders);
    parts* slots[11] = {&part};
    // A loaded snapshot may hold fewer entries than the replay writes.
    const std::vector<state_snapshot> list = {
        snapshot(20.0, {0.5}, {true}, {true}),
        snapshot(150.0, {0.25, 9.0, 9.0}, {false, true, true}, {true, false}),
    };
    frame_input input;
    input.flags_a[0] = true;
    input.flags_a[5] = true;
    bool keys[256] = {};
    keys['1'] = true;  // 146 s: the snapshot at 150

    state_snapshot current;
    replay_state_from_keys(keys, list, current, input, slots);
    EXPECT_EQ(current.time, 150.0);
    EXPECT_FALSE(input.flags_a[0]);
    EXPECT_TRUE(input.flags_a[1] && input.flags_a[2]);
    EXPECT_TRUE(input.flags_a[5]);  // beyond what the snapshot holds: untouched
    EXPECT_TRUE(input.flags_b[0]);
    EXPECT_EQ(part.parameter, 0.25);

    // Several keys apply in key order; the last one stays.
    keys['0'] = true;
    replay_state_from_keys(keys, list, current, input, slots);
    EXPECT_EQ(current.time, 150.0);

    // Keys without a time and an empty list change nothing.
    bool other_keys[256] = {};
    other_keys['8'] = other_keys['9'] = true;
    input.flags_a[0] = true;
    replay_state_from_keys(other_keys, list, current, input, slots);
    other_keys['3'] = true;
    replay_state_from_keys(other_keys, {}, current, input, slots);
    EXPECT_TRUE(input.flags_a[0]);
    EXPECT_EQ(part.parameter, 0.25);
    EXPECT_TRUE(current.values.empty());
}

// ---- development part mode ----

TEST(DevelopmentParts, RenderedInSlotOrderSkippingEmptySlots) {
    std::vector<int> renders;
    noting_part p0(0, renders), p1(1, renders), p5(5, renders), p6(6, renders), p10(10, renders);
    parts* slots[11] = {};
    slots[0] = &p0;
    slots[1] = &p1;
    slots[5] = &p5;
    slots[6] = &p6;
    slots[10] = &p10;  // the loading frame's slot is not rendered here
    double dt = 0.02;
    render_development_parts(slots, &dt, nullptr, nullptr, nullptr);
    EXPECT_EQ(renders, (std::vector<int>{1, 0, 6, 5}));

    parts* empty[11] = {};
    render_development_parts(empty, &dt, nullptr, nullptr, nullptr);
    EXPECT_EQ(renders.size(), 4u);
}

// ---- value recorder ----

class ValueRecorder : public ::testing::Test {
protected:
    // Several megabytes: on the heap.
    std::unique_ptr<scene_context> scene = std::make_unique<scene_context>();
    TempDir dir;

    void record(double value, double time, int tag = 0) { scene->record_value(&value, &time, tag); }
};

TEST_F(ValueRecorder, OneRecordPerTenthOfASecond) {
    const double duration = 240.0;
    scene->open_value_log(dir.file("values.log").c_str(), &duration);
    ASSERT_EQ(scene->value_log_record_count(), 2400);
    EXPECT_EQ(scene->recorder_records[0].time, 0.0);
    EXPECT_DOUBLE_EQ(scene->recorder_records[2399].time, 239.9);

    record(60.0, 239.95, 3);
    EXPECT_EQ(scene->recorder_records[2399].time, 239.95);
    EXPECT_EQ(scene->recorder_records[2399].value, 60.0);
    EXPECT_EQ(scene->recorder_records[2399].tag, 3);
    record(50.0, 240.0);  // one past the end: dropped
    EXPECT_EQ(scene->recorder_records[2399].value, 60.0);

    record(30.0, 1.23);
    record(31.0, 1.29);  // same tenth: overwrites
    EXPECT_EQ(scene->recorder_records[12].value, 31.0);
    EXPECT_EQ(scene->recorder_records[12].time, 1.29);
}

TEST_F(ValueRecorder, TimesOutsideTheRecorderAreDropped) {
    EXPECT_EQ(value_record_slot(-0.05, 2400), -1);  // would truncate onto record 0
    EXPECT_EQ(value_record_slot(-5.0, 2400), -1);
    EXPECT_EQ(value_record_slot(std::numeric_limits<double>::quiet_NaN(), 2400), -1);
    EXPECT_EQ(value_record_slot(1e300, 2400), -1);
    EXPECT_EQ(value_record_slot(0.0, 2400), 0);
    EXPECT_EQ(value_record_slot(0.0, 0), -1);

    const double duration = 1.0;
    scene->open_value_log(dir.file("values.log").c_str(), &duration);
    record(99.0, -0.05);
    record(99.0, -3.0);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(scene->recorder_records[i].value, 0.0) << i;
}

TEST_F(ValueRecorder, SmoothingWindow) {
    // A constant series stays exactly as it is.
    std::vector<value_record> constant(20);
    for (auto& r : constant) r.value = 59.94;
    smooth_recorded_values(constant);
    for (const auto& r : constant) EXPECT_EQ(r.value, 59.94);

    // One spike: each step sees the smoothed values behind it.
    std::vector<value_record> spike(8);
    spike[3].value = 21.0;
    smooth_recorded_values(spike);
    EXPECT_DOUBLE_EQ(spike[3].value, 10.0);
    EXPECT_DOUBLE_EQ(spike[4].value, 30.0 / 21.0);  // (0 + 6 * 10 / 21) / 2
    for (int i : {0, 1, 2, 5, 6, 7}) EXPECT_EQ(spike[i].value, 0.0) << i;

    // Fewer than seven records: nothing to smooth.
    std::vector<value_record> few(6);
    few[3].value = 5.0;
    smooth_recorded_values(few);
    EXPECT_EQ(few[3].value, 5.0);
    smooth_recorded_values({});
}

TEST_F(ValueRecorder, LogHoldsTheCountAndEveryRecord) {
    const std::string path = dir.file("values.log");
    const double duration = 2.0;
    scene->open_value_log(path.c_str(), &duration);
    for (int i = 0; i < 20; ++i) record(60.0, i / 10.0 + 0.05, i % 2);
    scene->close_value_log();
    EXPECT_EQ(scene->recorder_records, nullptr);

    std::istringstream log(read_file(path));
    int count = 0;
    ASSERT_TRUE(log >> count);
    ASSERT_EQ(count, 20);
    for (int i = 0; i < count; ++i) {
        double time = 0, value = 0;
        int tag = -1;
        ASSERT_TRUE(log >> time >> value >> tag) << i;
        EXPECT_NEAR(time, i / 10.0 + 0.05, 1e-9);
        EXPECT_EQ(value, 60.0);
        EXPECT_EQ(tag, i % 2);
    }
    std::string rest;
    EXPECT_FALSE(log >> rest);

    // Teardown may close again: the log stays as written.
    const std::string written = read_file(path);
    scene->close_value_log();
    EXPECT_EQ(read_file(path), written);
}

TEST_F(ValueRecorder, UnopenedOrUnwritableLogIsHarmless) {
    record(1.0, 0.5);
    scene->close_value_log();

    const double duration = 1.0;
    scene->open_value_log(dir.file("no/such/dir/values.log").c_str(), &duration);
    EXPECT_FALSE(scene->recorder_stream.is_open());
    record(1.0, 0.5);
    scene->close_value_log();
    EXPECT_EQ(scene->recorder_records, nullptr);

    const double negative = -4.0;
    scene->open_value_log(dir.file("values.log").c_str(), &negative);
    EXPECT_EQ(scene->value_log_record_count(), 0);
    record(1.0, 0.0);
    scene->close_value_log();
    EXPECT_EQ(read_file(dir.file("values.log")), "0\n");
}

// ---- asset report ----

TEST(AssetReport, ListsSortsAndCopiesEachNameOnce) {
    TempDir dir;
    const std::string source = dir.file("src");
    fs::create_directories(source);
    write_file(source + "/b.jpg", "bee");
    write_file(source + "/a.jpg", "ay");
    const std::string prefix = dir.file("copies") + "/";
    // Copies go to the prefix followed by the name, as given; the directory must exist.
    fs::create_directories(prefix + source);
    write_file(prefix + source + "/a.jpg", "kept");

    std::vector<asset_record> list = {
        {source + "/b.jpg", 3, 64, 32, 0},
        {source + "/a.jpg", 1, 8, 8, 0},
        {source + "/b.jpg", 7, 64, 32, 0},
    };
    std::ostringstream out;
    EXPECT_EQ(write_asset_report(out, list, 1.5, prefix), 2);

    const std::string a = source + "/a.jpg", b = source + "/b.jpg";
    EXPECT_EQ(out.str(), "\n-- JPG LIST\n" +
                             b + " (64,32) @ 3 position. \n" +
                             a + " (8,8) @ 1 position. \n" +
                             b + " (64,32) @ 7 position. \n"
                             "-- 3DS LIST\n"
                             "Total : 3 files,  0 bytes\n"
                             "Loadtime :1.5\n"
                             "-- JPG Sorted\n"
                             "Name  : " + a + "\nName  : " + b + "\nName  : " + b + "\n"
                             "-- JPG LIST\n"
                             "Name  : " + a + "\nName  : " + b + "\n"
                             "-- 3DS LIST\n"
                             "Total sorted : 2");
    EXPECT_EQ(read_file(prefix + b), "bee");
    EXPECT_EQ(read_file(prefix + a), "kept");  // an existing copy is not overwritten
    // Names moved; slots and sizes stayed.
    EXPECT_EQ(list[0].name, a);
    EXPECT_EQ(list[0].slot, 3);
    EXPECT_EQ(list[0].width, 64);
}

TEST(AssetReport, SortIsByteWiseShorterFirstAndMovesKinds) {
    std::vector<asset_record> list = {
        {"abcd", 0, 0, 0, 0}, {"abc", 1, 0, 0, 1}, {"a", 2, 0, 0, 0}, {"B", 3, 0, 0, 0}, {"\xe9", 4, 0, 0, 0},
    };
    std::ostringstream out;
    // Missing files: the copies fail quietly.
    EXPECT_EQ(write_asset_report(out, list, 0.0, "/nonexistent-dir/"), 5);
    std::vector<std::string> names;
    for (const auto& r : list) names.push_back(r.name);
    EXPECT_EQ(names, (std::vector<std::string>{"B", "a", "abc", "abcd", "\xe9"}));
    EXPECT_EQ(list[2].kind, 1);  // "abc" took its kind along
    EXPECT_EQ(list[1].kind, 0);
    EXPECT_NE(out.str().find("-- 3DS LIST\nabc 1 position. \n"), std::string::npos);
    EXPECT_NE(out.str().find("-- 3DS LIST\nName  : abc\nTotal sorted : 5"), std::string::npos);
}

}  // namespace
