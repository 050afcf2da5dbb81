#pragma once

// Start-up measurement: with QUILLORA_EXIT_AFTER_PAINT set, the program prints how long after
// its start the watched window was first painted, then quits. Header-only, so the minimal
// program it is compared with uses the very same probe.
//
// A launcher may also set QUILLORA_LAUNCH_NS to its CLOCK_MONOTONIC time in nanoseconds, taken
// just before it started the process; the elapsed time then counts from there, loading the
// program included. Without it the time counts from the kernel's record of the process start,
// which has only clock-tick resolution.

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <optional>
#include <string>
#include <unistd.h>

namespace quillora {

namespace startup_probe {

inline long long nowNs(clockid_t clock)
{
    timespec now {};
    clock_gettime(clock, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// Nanoseconds since the process started, from /proc/self/stat (field 22, clock ticks since
// boot), or none when it cannot be read.
inline std::optional<long long> sinceProcessStartNs()
{
    std::ifstream in("/proc/self/stat");
    std::string stat;
    std::getline(in, stat);
    // The command name in parentheses may hold blanks; the fields after it are counted from
    // the last ')'.
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos)
        return std::nullopt;
    const char* p = stat.c_str() + close + 1;
    for (int field = 3; field < 22; ++field) {
        while (*p == ' ')
            ++p;
        while (*p && *p != ' ')
            ++p;
    }
    char* end = nullptr;
    const long long ticks = std::strtoll(p, &end, 10);
    if (end == p)
        return std::nullopt;
    const long long startNs = ticks * (1000000000LL / sysconf(_SC_CLK_TCK));
    return nowNs(CLOCK_BOOTTIME) - startNs;
}

class PaintWatcher final : public QObject {
public:
    PaintWatcher(QWidget* window, long long launchNs)
        : QObject(window)
        , m_launchNs(launchNs)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            // Report once this paint, its children's and the flush to the screen are done.
            QTimer::singleShot(0, this, [this] { report(); });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void report()
    {
        std::optional<long long> elapsed;
        if (m_launchNs > 0)
            elapsed = nowNs(CLOCK_MONOTONIC) - m_launchNs;
        else
            elapsed = sinceProcessStartNs();
        if (elapsed)
            std::printf("painted %.3f ms\n", static_cast<double>(*elapsed) / 1e6);
        else
            std::printf("painted\n");
        std::fflush(stdout);
        QCoreApplication::exit(0);
    }

    long long m_launchNs;
    bool m_seen = false;
};

} // namespace startup_probe

/// Arms the probe on the window when QUILLORA_EXIT_AFTER_PAINT is set; does nothing otherwise.
inline void exitAfterFirstPaint(QWidget* window)
{
    const char* armed = std::getenv("QUILLORA_EXIT_AFTER_PAINT");
    if (!armed || !*armed)
        return;
    long long launchNs = 0;
    if (const char* launch = std::getenv("QUILLORA_LAUNCH_NS")) {
        char* end = nullptr;
        launchNs = std::strtoll(launch, &end, 10);
        if (end == launch || *end != '\0')
            launchNs = 0;
    }
    new startup_probe::PaintWatcher(window, launchNs);
}

} // namespace quillora
