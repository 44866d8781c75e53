// The software frame without a window: the empty frame and the half-raster triangle against the
// store floor, the grid scenes at both window sizes, a frame whose rows all start far outside it,
// and resident memory over 1000 frames.
// Google Benchmark's own output goes to standard error; standard output gets the table.
//
// Repetitions of all benchmarks run in random interleaved order and every figure is the median
// of its repetitions, so that a noisy neighbour on a shared machine spreads over both sides of a
// ratio instead of landing on one.
#include "report.h"
#include "scenes.h"

#include "lists/listvertex.h"
#include "render/drawcontext.h"
#include "render/fill.h"
#include "render/frame.h"
#include "render/raster.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int32_t kRepetitions = 9;
constexpr Colour kWhite{1.0f, 1.0f, 1.0f, 1.0f};

struct Size {
    int32_t width;
    int32_t height;
};

constexpr Size kSizes[] = {{500, 550}, {1920, 1080}};
constexpr int32_t kGrids[] = {1, 32, 100, 300};
constexpr Size kLarge{1920, 1080};

std::string size_name(Size size) {
    return std::to_string(size.width) + "x" + std::to_string(size.height);
}

std::string grid_name(int32_t g, Size size) {
    return "grid_frame/" + std::to_string(g) + "/" + size_name(size);
}

size_t pixels_of(Size size) {
    return static_cast<size_t>(size.width) * static_cast<size_t>(size.height);
}

// A buffer written once before timing, so that the floor pays no page faults.
void store_floor(benchmark::State& state, size_t pixels) {
    std::vector<Colour> buffer(pixels, Colour{0.0f, 0.0f, 0.0f, 0.0f});
    for (auto _ : state) {
        std::fill(buffer.begin(), buffer.end(), kWhite);
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
}

// Renders frames of the scene until the benchmark has its time, reusing the raster as the
// program's frame pass does.
void frames(benchmark::State& state, const ListObject* shapes, const LineImage& image, Size size) {
    Raster* raster = nullptr;
    for (auto _ : state) {
        raster = frame_draw(raster, size.width, size.height, shapes, &image);
        benchmark::DoNotOptimize(raster->pixels);
        benchmark::ClobberMemory();
    }
    raster_free(raster);
}

void empty_frame(benchmark::State& state) {
    ListObject* shapes = listobject_new(nullptr);
    frames(state, shapes, LineImage{}, kLarge);
    listobject_free(shapes);
}

void grid_frame(benchmark::State& state, int32_t g, Size size) {
    ListObject* shapes = scene_grid(g);
    frames(state, shapes, scene_octagon(), size);
    listobject_free(shapes);
}

// One anticlockwise triangle over the lower right half of the large raster, corner to corner,
// with the three primaries at its corners so that every field changes along a row.
struct HalfTriangle {
    Vertex t1;
    Vertex t2;
    Vertex t3;
};

HalfTriangle half_triangle(const DrawContext* ctx) {
    const float x = ctx->extentX / 2.0f;
    const float y = ctx->extentY / 2.0f;
    return {{-x, -y, 1.0f, 0.0f, 0.0f, 1.0f},
            {x, -y, 0.0f, 1.0f, 0.0f, 1.0f},
            {x, y, 0.0f, 0.0f, 1.0f, 1.0f}};
}

// How many pixels the triangle writes: those that no longer hold a colour the fill cannot give.
size_t half_triangle_pixels() {
    Raster* raster = raster_new(kLarge.width, kLarge.height);
    raster_fill(raster, Colour{-1.0f, -1.0f, -1.0f, -1.0f});
    DrawContext ctx;
    draw_context_init(&ctx, raster, nullptr);
    const HalfTriangle t = half_triangle(&ctx);
    fill_triangle(t.t1, t.t2, t.t3, &ctx);
    const size_t written =
        static_cast<size_t>(std::count_if(raster->pixels, raster->pixels + pixels_of(kLarge),
                                          [](const Colour& c) { return c.r >= 0.0f; }));
    raster_free(raster);
    return written;
}

void fill_rate(benchmark::State& state) {
    Raster* raster = raster_new(kLarge.width, kLarge.height);
    raster_fill(raster, kWhite);
    DrawContext ctx;
    draw_context_init(&ctx, raster, nullptr);
    const HalfTriangle t = half_triangle(&ctx);
    for (auto _ : state) {
        fill_triangle(t.t1, t.t2, t.t3, &ctx);
        benchmark::DoNotOptimize(raster->pixels);
        benchmark::ClobberMemory();
    }
    raster_free(raster);
}

// One triangle whose start side stands `out` columns left of the raster on every row and whose
// end side lies right of it: every row of the frame is filled whole, after its span walker has
// stepped in from column -out. Its corners lie far above and below the frame, so every row of
// the frame lies between them.
ListObject* far_start_scene(int32_t out) {
    Raster* raster = raster_new(kLarge.width, kLarge.height);
    DrawContext ctx;
    draw_context_init(&ctx, raster, nullptr);
    const float left = static_cast<float>(-out);
    const float high = 3.0f * static_cast<float>(kLarge.height);
    Vertex corners[3] = {
        {left, -high, 1.0f, 0.0f, 0.0f, 1.0f},
        {10.0f * static_cast<float>(kLarge.width), 0.5f * high, 0.0f, 1.0f, 0.0f, 1.0f},
        {left, high, 0.0f, 0.0f, 1.0f, 1.0f}};
    ListVertex* shape = listvertex_new(nullptr);
    for (Vertex& corner : corners) {
        map_from_raster(&corner, &ctx);
        listvertex_append(shape, listvertex_node_new(&corner));
    }
    raster_free(raster);
    return listobject_new(listobject_node_new(shape));
}

void far_start_frame(benchmark::State& state, int32_t out) {
    ListObject* shapes = far_start_scene(out);
    frames(state, shapes, LineImage{}, kLarge);
    listobject_free(shapes);
}

long resident_kib() {
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

struct MemoryResult {
    long afterTen;
    long afterThousand;
};

// Not timed: 1000 frames of the grid-100 scene, as a long session would draw them.
MemoryResult memory_over_frames() {
    ListObject* shapes = scene_grid(100);
    const LineImage image = scene_octagon();
    Raster* raster = nullptr;
    MemoryResult result{0, 0};
    for (int32_t frame = 1; frame <= 1000; ++frame) {
        raster = frame_draw(raster, 500, 550, shapes, &image);
        if (frame == 10) {
            result.afterTen = resident_kib();
        }
    }
    result.afterThousand = resident_kib();
    raster_free(raster);
    listobject_free(shapes);
    return result;
}

// Keeps the median of every benchmark's repetitions, in milliseconds, for the table.
class MedianReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                medians[run.run_name.function_name] =
                    run.GetAdjustedRealTime() * 1e3 /
                    benchmark::GetTimeUnitMultiplier(run.time_unit);
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    double median(const std::string& name) const {
        const auto found = medians.find(name);
        return found == medians.end() ? -1.0 : found->second;
    }

  private:
    std::map<std::string, double> medians;
};

benchmark::internal::Benchmark* timed(benchmark::internal::Benchmark* b) {
    return b->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Repetitions(kRepetitions)
        ->ReportAggregatesOnly(true);
}

double ratio_of(double a, double b) {
    return a >= 0 && b > 0 ? a / b : -1.0;
}

void print_table(const MedianReporter& medians, size_t trianglePixels, MemoryResult memory) {
    report_header();
    const double empty = medians.median("empty_frame/1920x1080");
    const double floor = medians.median("store_floor/1920x1080");
    report_row({"Empty frame 1920 x 1080 vs std::fill of its pixels (store floor)",
                report_ms(empty), report_ms(floor), ratio_of(empty, floor), "<= 1.5", 1.5});
    for (const Size size : kSizes) {
        for (const int32_t g : kGrids) {
            report_row({"Software frame, grid " + std::to_string(g) + ", " +
                            std::to_string(size.width) + " x " + std::to_string(size.height),
                        report_ms(medians.median(grid_name(g, size))), "", -1.0, "", -1.0});
        }
    }
    for (const Size size : kSizes) {
        const double g300 = medians.median(grid_name(300, size));
        const double g100 = medians.median(grid_name(100, size));
        report_row({"Software frame, grid 300 vs grid 100 (9 = linear), " +
                        std::to_string(size.width) + " x " + std::to_string(size.height),
                    report_ms(g300), report_ms(g100), ratio_of(g300, g100), "<= 12", 12.0});
    }
    const double fill = medians.median("fill_rate/1920x1080");
    const double fillFloor = medians.median("fill_floor/1920x1080");
    report_row({"Half-raster triangle 1920 x 1080 (" + std::to_string(trianglePixels) +
                    " px) vs std::fill of as many pixels",
                report_ms(fill), report_ms(fillFloor), ratio_of(fill, fillFloor), "<= 2", 2.0});
    const double far = medians.median("far_start_frame/60000/1920x1080");
    const double near = medians.median("far_start_frame/1/1920x1080");
    report_row({"Frame 1920 x 1080 whose every row starts 60000 columns out, walked in, vs the "
                "same rows starting 1 column out",
                report_ms(far), report_ms(near), ratio_of(far, near), "", -1.0});
    report_row({"The same far-start frame vs the grid-32 frame, 1920 x 1080", report_ms(far),
                report_ms(medians.median(grid_name(32, kLarge))),
                ratio_of(far, medians.median(grid_name(32, kLarge))), "", -1.0});
    const long growth = memory.afterThousand - memory.afterTen;
    report_row({"Resident memory, grid 100 at 500 x 550: after frame 1000 vs after frame 10 "
                "(growth " +
                    std::to_string(growth) + " KiB)",
                std::to_string(memory.afterThousand) + " KiB",
                std::to_string(memory.afterTen) + " KiB", -1.0, "growth < 1024 KiB", -1.0,
                growth < 1024 ? "met" : "MISSED"});
}

} // namespace

int main(int argc, char** argv) {
    // The interleaving is what makes the ratios fair here; a flag on the command line still wins.
    std::vector<char*> args(argv, argv + argc);
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave.data());
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) {
        return 1;
    }

    const MemoryResult memory = memory_over_frames();
    const size_t trianglePixels = half_triangle_pixels();

    timed(benchmark::RegisterBenchmark("store_floor/1920x1080", store_floor, pixels_of(kLarge)));
    timed(benchmark::RegisterBenchmark("empty_frame/1920x1080", empty_frame));
    for (const Size size : kSizes) {
        for (const int32_t g : kGrids) {
            timed(benchmark::RegisterBenchmark(grid_name(g, size).c_str(), grid_frame, g, size));
        }
    }
    timed(benchmark::RegisterBenchmark("fill_rate/1920x1080", fill_rate));
    for (const int32_t out : {1, 60000}) {
        const std::string name = "far_start_frame/" + std::to_string(out) + "/1920x1080";
        timed(benchmark::RegisterBenchmark(name.c_str(), far_start_frame, out));
    }
    timed(benchmark::RegisterBenchmark("fill_floor/1920x1080", store_floor, trianglePixels));

    MedianReporter reporter;
    reporter.SetOutputStream(&std::cerr);
    reporter.SetErrorStream(&std::cerr);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    print_table(reporter, trianglePixels, memory);
    return 0;
}
