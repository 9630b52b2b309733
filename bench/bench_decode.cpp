// Decoding speed of our decoders next to a reference decoder, on the
// built-in pictures (globbed at run time) and the test fixtures.
//
// Every suite names a set of files and a list of decoders; the first decoder
// of a suite is the reference. Each (decoder, file) pair is one benchmark,
// and "<suite>/<decoder>/all" decodes every file of the suite once per
// iteration. "<suite>/paired/all" alternates the decoders file by file and
// reports each one's CPU time and its ratio to the reference as counters,
// which holds up better on a busy machine than comparing separate runs.
// After the run a summary prints, per suite, each decoder's time over all
// files divided by the reference's. To add a format, add a Suite in
// suites(). Useful flags: --benchmark_filter=/all, --benchmark_repetitions=5.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <csetjmp>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "toolkit/picture/image.h"

namespace {

namespace fs = std::filesystem;
using File = std::vector<std::uint8_t>;
// Decodes one file; false when the decoder refused it.
using DecodeFn = std::function<bool(const File&)>;

struct Decoder {
    std::string name;
    DecodeFn decode;
};

struct Suite {
    std::string name;
    std::vector<std::string> globs;  // "dir/*.ext", relative to the source tree
    std::vector<Decoder> decoders;   // decoders[0] is the reference
};

// ---- libjpeg-turbo, with its default (accurate integer) IDCT and fancy
// upsampling, writing B,G,R rows padded to 4 bytes as our Image does.

struct JpegError {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
};

void jpeg_fail(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<JpegError*>(cinfo->err)->jump, 1);
}
void jpeg_quiet(j_common_ptr, int) {}

bool decode_libjpeg(const File& f, std::vector<std::uint8_t>& out) {
    jpeg_decompress_struct cinfo;
    JpegError err;
    cinfo.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = jpeg_fail;
    err.mgr.emit_message = jpeg_quiet;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, f.data(), static_cast<unsigned long>(f.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&cinfo);
    const std::size_t stride = pic::Image::stride_for(static_cast<int>(cinfo.output_width));
    out.assign(stride * cinfo.output_height, 0);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = out.data() + stride * cinfo.output_scanline;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

bool reference_jpeg(const File& f) {
    std::vector<std::uint8_t> out;
    const bool ok = decode_libjpeg(f, out);
    benchmark::DoNotOptimize(out.data());
    return ok;
}

bool ours_jpeg(const File& f) {
    std::optional<pic::Image> img = pic::decode_jpeg(f);
    benchmark::DoNotOptimize(img);
    return img.has_value();
}

std::vector<Suite> suites() {
    return {
        {"jpeg",
         {"pictures/assets/*.jpg", "tests/fixtures/jpeg/*.jpg"},
         {{"libjpeg-turbo", reference_jpeg}, {"ours", ours_jpeg}}},
    };
}

// ---- files

File read_file(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return File(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Input {
    std::string label;  // path relative to the source tree
    File bytes;
};

std::vector<Input> collect(const std::vector<std::string>& globs) {
    std::vector<Input> inputs;
    const fs::path root = GLIMBO_SOURCE_DIR;
    for (const std::string& g : globs) {
        const fs::path pattern(g);
        const fs::path dir = root / pattern.parent_path();
        const std::string ext = pattern.extension().string();
        std::error_code ec;
        std::vector<fs::path> found;
        for (const auto& e : fs::directory_iterator(dir, ec))
            if (e.is_regular_file() && e.path().extension() == ext) found.push_back(e.path());
        std::sort(found.begin(), found.end());
        for (const fs::path& p : found)
            inputs.push_back({(pattern.parent_path() / p.filename()).string(), read_file(p)});
    }
    return inputs;
}

// ---- summary

// Time per iteration of every "<suite>/<decoder>/all" run, in seconds (the
// median when repeated), and the counters of the paired runs.
struct Totals {
    std::map<std::string, double> real, cpu;
    std::map<std::string, double> paired;  // "<suite>/<decoder>:ratio" -> ratio
};
Totals& totals() {
    static Totals t;
    return t;
}

bool ends_with(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            const bool single = r.run_type == Run::RT_Iteration && r.repetitions <= 1;
            const bool median = r.run_type == Run::RT_Aggregate && r.aggregate_name == "median";
            if (!single && !median) continue;
            std::string name = r.run_name.str();
            if (!ends_with(name, "/all")) continue;
            const double unit = benchmark::GetTimeUnitMultiplier(r.time_unit);
            totals().real[name] = r.GetAdjustedRealTime() / unit;
            totals().cpu[name] = r.GetAdjustedCPUTime() / unit;
            for (const auto& [counter, value] : r.counters)
                if (ends_with(counter, ":ratio")) totals().paired[name.substr(0, name.find('/')) + "/" + counter] = value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

void summarise(const std::vector<Suite>& all, const std::map<std::string, std::size_t>& counts) {
    std::printf("\nSummary: time to decode all files of a suite once; ratio = decoder / reference\n");
    for (const Suite& s : all) {
        const std::string ref = s.name + "/" + s.decoders[0].name + "/all";
        if (!totals().real.count(ref)) continue;
        for (const Decoder& d : s.decoders) {
            const std::string key = s.name + "/" + d.name + "/all";
            if (!totals().real.count(key)) continue;
            std::printf("  %-6s %-14s %zu files  real %9.1f us (ratio %.3f)  cpu %9.1f us (ratio %.3f)\n",
                        s.name.c_str(), d.name.c_str(), counts.at(s.name), totals().real[key] * 1e6,
                        totals().real[key] / totals().real[ref], totals().cpu[key] * 1e6,
                        totals().cpu[key] / totals().cpu[ref]);
        }
        for (const Decoder& d : s.decoders) {
            const auto p = totals().paired.find(s.name + "/" + d.name + ":ratio");
            if (p != totals().paired.end() && &d != &s.decoders[0])
                std::printf("  %-6s %-14s paired (alternating file by file): ratio %.3f\n", s.name.c_str(),
                            d.name.c_str(), p->second);
        }
    }
}

// CPU time of this process, in seconds.
double cpu_now() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    const std::vector<Suite> all = suites();
    // Kept alive for the whole run: the benchmarks refer to them.
    static std::vector<std::vector<Input>> inputs;
    inputs.reserve(all.size());
    std::map<std::string, std::size_t> counts;
    for (const Suite& s : all) {
        // Only files every decoder of the suite accepts take part.
        std::vector<Input> usable;
        for (Input& in : collect(s.globs)) {
            bool ok = true;
            for (const Decoder& d : s.decoders) ok = ok && d.decode(in.bytes);
            if (ok) usable.push_back(std::move(in));
        }
        inputs.push_back(std::move(usable));
        const std::vector<Input>& files = inputs.back();
        counts[s.name] = files.size();
        if (files.empty()) continue;
        for (const Decoder& d : s.decoders) {
            benchmark::RegisterBenchmark((s.name + "/" + d.name + "/all").c_str(),
                                         [&files, fn = d.decode](benchmark::State& st) {
                                             for (auto _ : st)
                                                 for (const Input& in : files) fn(in.bytes);
                                         })
                ->Unit(benchmark::kMicrosecond);
        }
        benchmark::RegisterBenchmark((s.name + "/paired/all").c_str(), [&files, &s](benchmark::State& st) {
            std::vector<double> spent(s.decoders.size(), 0.0);
            for (auto _ : st) {
                for (const Input& in : files) {
                    for (std::size_t i = 0; i < s.decoders.size(); ++i) {
                        const double t0 = cpu_now();
                        s.decoders[i].decode(in.bytes);
                        spent[i] += cpu_now() - t0;
                    }
                }
            }
            for (std::size_t i = 0; i < s.decoders.size(); ++i) {
                st.counters[s.decoders[i].name + ":us"] =
                    benchmark::Counter(spent[i] * 1e6, benchmark::Counter::kAvgIterations);
                st.counters[s.decoders[i].name + ":ratio"] = spent[i] / spent[0];
            }
        })->Unit(benchmark::kMicrosecond);
        for (const Input& in : files) {
            for (const Decoder& d : s.decoders) {
                benchmark::RegisterBenchmark((s.name + "/" + d.name + "/" + in.label).c_str(),
                                             [&in, fn = d.decode](benchmark::State& st) {
                                                 for (auto _ : st) fn(in.bytes);
                                             })
                    ->Unit(benchmark::kMicrosecond)
                    ->MinTime(0.1);  // many small files: keep the whole run short
            }
        }
    }
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    summarise(all, counts);
    benchmark::Shutdown();
    return 0;
}
