// Times programs under Wine from their start to their window being shown, in paired runs:
// startup_probe RUNS PROGRAM TITLE PROGRAM TITLE. Prints each program's median and the median
// of the per-pair ratios.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

double now() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::wstring wide(const char* text) {
    return {text, text + std::char_traits<char>::length(text)};
}

// Milliseconds from CreateProcess to a visible window with that title, then closes it.
double start_up(const char* program, const char* title) {
    std::wstring command = wide(program);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const double start = now();
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        std::exit(1);
    HWND window = nullptr;
    while ((window = FindWindowW(nullptr, wide(title).c_str())) == nullptr ||
           !IsWindowVisible(window))
        Sleep(0);
    const double elapsed = (now() - start) * 1000;
    PostMessageW(window, WM_CLOSE, 0, 0);
    WaitForSingleObject(process.hProcess, 5000);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return elapsed;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 6)
        return 2;
    const int runs = std::atoi(argv[1]);
    std::vector<double> a, b, ratios;
    start_up(argv[2], argv[3]); // warm the caches
    start_up(argv[4], argv[5]);
    for (int run = 0; run < runs; ++run) {
        const bool a_first = run % 2 == 0;
        const double first = start_up(argv[a_first ? 2 : 4], argv[a_first ? 3 : 5]);
        const double second = start_up(argv[a_first ? 4 : 2], argv[a_first ? 5 : 3]);
        a.push_back(a_first ? first : second);
        b.push_back(a_first ? second : first);
        ratios.push_back(a.back() / b.back());
    }
    std::printf("%s: %.1f ms, %s: %.1f ms, median of paired ratios %.2fx (%d pairs)\n", argv[3],
                median(a), argv[5], median(b), median(ratios), runs);
}
