// Load and save of catalogues of 1,000 and 10,000 entries against a plain copy of a file of the
// same size (read the bytes, write them to another file), and against the same bytes written
// the way Save writes them (temporary file, fsync, rename). A summary of the ratios follows
// the usual table.

#include "base/text.h"
#include "catalogue/atomic_file.h"
#include "catalogue/icons.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

std::filesystem::path g_dir;

std::string CataloguePath(int entries) {
    return (g_dir / ("icons-" + std::to_string(entries) + ".bin")).string();
}

// A catalogue of `entries` programs spread over four tabs, saved once for the load benchmarks.
void PrepareCatalogue(int entries) {
    Icons icons(CataloguePath(entries));
    icons.m_entries.reset(new ProgramEntry[entries]());
    icons.m_count = entries;
    for (int i = 0; i < entries; ++i) {
        ProgramEntry& e = icons.m_entries[i];
        e.column = i % 13;
        e.row = i / 13 % 5;
        e.tab = i % 4;
        e.showCommand = 1;
        CopyText(e.caption, "Program " + std::to_string(i));
        CopyText(e.description, "{\\rtf1\\ansi " + std::string(600, 'x') + "}");
        CopyText(e.programPath, "C:\\Games\\game" + std::to_string(i) + "\\game.exe");
        CopyText(e.iconFile, "C:\\Games\\game" + std::to_string(i) + "\\game.exe");
    }
    icons.m_tabs = {"Games", "Office", "Internet", "Tools"};
    icons.Save();
}

// One read of the whole file into a buffer of its size.
std::vector<char> ReadAll(const std::string& path) {
    std::vector<char> bytes(std::filesystem::file_size(path));
    std::ifstream in(path, std::ios::binary);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

void BM_Load(benchmark::State& state) {
    const std::string path = CataloguePath(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        Icons icons(path);
        benchmark::DoNotOptimize(icons.m_entries.get());
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(std::filesystem::file_size(path)));
}

void BM_Save(benchmark::State& state) {
    const std::string source = CataloguePath(static_cast<int>(state.range(0)));
    Icons icons(source);
    icons.m_path = (g_dir / "saved.bin").string();
    for (auto _ : state)
        icons.Save();
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(std::filesystem::file_size(source)));
}

// Reads the file and writes the same bytes to another file: no fsync, no rename.
void BM_PlainCopy(benchmark::State& state) {
    const std::string source = CataloguePath(static_cast<int>(state.range(0)));
    const std::string target = (g_dir / "copy.bin").string();
    for (auto _ : state) {
        const std::vector<char> bytes = ReadAll(source);
        std::ofstream out(target, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(std::filesystem::file_size(source)));
}

// Reads the file and writes the same bytes as Save does: temporary file, fsync, rename.
void BM_AtomicCopy(benchmark::State& state) {
    const std::string source = CataloguePath(static_cast<int>(state.range(0)));
    const std::string target = (g_dir / "atomic.bin").string();
    for (auto _ : state) {
        const std::vector<char> bytes = ReadAll(source);
        AtomicFile out(target);
        out.Write(bytes.data(), bytes.size());
        out.Commit();
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(std::filesystem::file_size(source)));
}

BENCHMARK(BM_Load)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainCopy)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AtomicCopy)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// Keeps the time per iteration of every run for the summary.
class RecordingReporter : public benchmark::ConsoleReporter {
public:
    // Colour only on a terminal (a reporter of our own does not see --benchmark_color).
    RecordingReporter() : ConsoleReporter(::isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                m_times[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    double Time(const std::string& name) const {
        const auto it = m_times.find(name);
        return it == m_times.end() ? 0 : it->second;
    }

private:
    std::map<std::string, double> m_times;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;

    std::string pattern =
        (std::filesystem::temp_directory_path() / "korvane-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        return 1;
    g_dir = pattern;
    for (int entries : {1000, 10000})
        PrepareCatalogue(entries);

    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\nRatios (time / plain copy of the same bytes; time / atomic copy):\n");
    for (int entries : {1000, 10000}) {
        const std::string n = std::string("/").append(std::to_string(entries));
        const double copy = reporter.Time("BM_PlainCopy" + n);
        const double atomic = reporter.Time("BM_AtomicCopy" + n);
        const double load = reporter.Time("BM_Load" + n);
        const double save = reporter.Time("BM_Save" + n);
        if (copy <= 0 || atomic <= 0)
            continue;
        std::printf("  %5d entries (%.1f MB): load %.2f ms = %.2f x copy; save %.2f ms = %.2f x "
                    "copy = %.2f x atomic copy (copy %.2f ms, atomic copy %.2f ms)\n",
                    entries, std::filesystem::file_size(CataloguePath(entries)) / 1e6, load,
                    load / copy, save, save / copy, save / atomic, copy, atomic);
    }
    benchmark::Shutdown();
    std::filesystem::remove_all(g_dir);
    return 0;
}
