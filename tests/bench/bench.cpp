// Benchmarks of Springdeck under Wine: each figure is the median of repeated
// runs with min and max, beside a baseline measured in the same run where one
// exists. Prints one table and writes build\bench.json. Numbers only: nothing
// here fails on a threshold.
#include "bench.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>

static std::vector<Figure> Figures;

double NowMs()
{
    static LARGE_INTEGER frequency = {};
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart * 1000.0 / frequency.QuadPart;
}

double TicksToMs(long long ticks, long long frequency) { return ticks * 1000.0 / frequency; }

SIZE_T WorkingSetKb(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS *>(&counters), sizeof counters))
        return 0;
    return counters.WorkingSetSize / 1024;
}

SIZE_T PrivateKb(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS *>(&counters), sizeof counters))
        return 0;
    // Windows reports the private commit in both fields; Wine leaves
    // PrivateUsage at 0 and reports the private pages in use (the process's
    // own memory, without the shared library pages the working set counts)
    // as PagefileUsage.
    SIZE_T bytes = counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
    return bytes / 1024;
}

std::vector<double> RecorderStartTimes(const std::string &logPath)
{
    std::vector<double> times;
    for (const std::string &line : driver::ReadLines(logPath)) {
        long long ticks = 0, frequency = 0;
        if (sscanf(line.c_str(), "start %lld %lld", &ticks, &frequency) == 2 && frequency > 0)
            times.push_back(TicksToMs(ticks, frequency));
    }
    return times;
}

bool WaitProgramIdle(HWND window, DWORD timeoutMs)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result) != 0;
}

void Report(const Figure &figure)
{
    Figures.push_back(figure);
    printf("  figure %s done: %s\n", figure.id.c_str(), figure.name.c_str());
    fflush(stdout);
}

struct Stats {
    double median = 0, min = 0, max = 0;
    size_t count = 0;
};

static Stats Summarise(std::vector<double> values)
{
    Stats stats;
    if (values.empty())
        return stats;
    std::sort(values.begin(), values.end());
    stats.count = values.size();
    stats.min = values.front();
    stats.max = values.back();
    size_t n = values.size();
    stats.median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    return stats;
}

static std::string JsonText(const std::string &text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        if (static_cast<unsigned char>(c) >= 0x20)
            out += c;
    }
    return out + "\"";
}

static void PrintTable(FILE *out)
{
    fprintf(out, "\n%-4s %-72s %10s %10s %10s %6s %-24s %10s %7s\n", "fig", "what", "median", "min", "max", "n",
            "baseline", "b.median", "ratio");
    for (const Figure &f : Figures) {
        if (!f.note.empty() && f.samples.empty()) {
            fprintf(out, "%-4s %-72s %s\n", f.id.c_str(), f.name.c_str(), f.note.c_str());
            continue;
        }
        Stats s = Summarise(f.samples);
        Stats b = Summarise(f.baseline);
        char ratio[32] = "";
        if (b.count && b.median != 0)
            snprintf(ratio, sizeof ratio, "%.2f", s.median / b.median);
        char bmedian[32] = "";
        if (b.count)
            snprintf(bmedian, sizeof bmedian, "%.1f", b.median);
        std::string what = f.name + " (" + f.unit + ")";
        fprintf(out, "%-4s %-72s %10.1f %10.1f %10.1f %6u %-24s %10s %7s\n", f.id.c_str(), what.c_str(), s.median,
                s.min, s.max, static_cast<unsigned>(s.count), f.baselineName.c_str(), bmedian, ratio);
        if (!f.note.empty())
            fprintf(out, "     note: %s\n", f.note.c_str());
    }
    fprintf(out, "\nTargets:\n");
    for (const Figure &f : Figures)
        if (!f.target.empty())
            fprintf(out, "  %-4s %s\n", f.id.c_str(), f.target.c_str());
}

static void WriteJson(const std::string &path)
{
    FILE *out = fopen(path.c_str(), "w");
    if (!out)
        return;
    fprintf(out, "{\n  \"figures\": [\n");
    for (size_t i = 0; i < Figures.size(); ++i) {
        const Figure &f = Figures[i];
        Stats s = Summarise(f.samples), b = Summarise(f.baseline);
        fprintf(out,
                "    {\"id\": %s, \"name\": %s, \"unit\": %s, \"n\": %u, \"median\": %.3f, \"min\": %.3f, "
                "\"max\": %.3f",
                JsonText(f.id).c_str(), JsonText(f.name).c_str(), JsonText(f.unit).c_str(),
                static_cast<unsigned>(s.count), s.median, s.min, s.max);
        if (b.count)
            fprintf(out,
                    ", \"baseline\": %s, \"baseline_median\": %.3f, \"baseline_min\": %.3f, "
                    "\"baseline_max\": %.3f, \"ratio\": %.4f",
                    JsonText(f.baselineName).c_str(), b.median, b.min, b.max, b.median ? s.median / b.median : 0.0);
        if (!f.target.empty())
            fprintf(out, ", \"target\": %s", JsonText(f.target).c_str());
        if (!f.note.empty())
            fprintf(out, ", \"note\": %s", JsonText(f.note).c_str());
        fprintf(out, "}%s\n", i + 1 < Figures.size() ? "," : "");
    }
    fprintf(out, "  ]\n}\n");
    fclose(out);
}

int main(int argc, char **argv)
{
    std::string only = argc > 1 ? argv[1] : "";
    struct {
        const char *id;
        void (*run)();
    } const all[] = {{"1", BenchLaunch},      {"2", BenchBringForward}, {"3", BenchBrowser},   {"4", BenchStartup},
                     {"5", BenchSetupDialog}, {"6", BenchBookmarks},    {"7", BenchFootprint}, {"8", BenchTyping}};
    driver::StopSpringdeck();
    for (const auto &figure : all) {
        if (!only.empty() && only.find(figure.id) == std::string::npos)
            continue;
        printf("running figure %s...\n", figure.id);
        fflush(stdout);
        double start = NowMs();
        figure.run();
        driver::StopSpringdeck();
        driver::KillProcessesNamed("recorder.exe");
        driver::ClearSettings();
        printf("  (%.0f s)\n", (NowMs() - start) / 1000);
    }
    PrintTable(stdout);
    WriteJson(driver::BuildDir() + "\\bench.json");
    return 0;
}
