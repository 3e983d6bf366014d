// homing-measure SECONDS: the real window (the same Form1, FrameLoop and pump as
// the program), run for SECONDS and then closed; prints the spacing of frame
// starts, the processor time, the peak memory and the time to the first frame.
// Run it under a display (bench/measure-pacing.sh and bench/measure-window.sh do, with Xvfb and a moving pointer).

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

#include "Form1.h"
#include "PictureBox.h"

namespace {

/// Seconds since this process started, from the kernel's own record.
double ProcessAge()
{
    std::ifstream stat("/proc/self/stat");
    std::string field;
    for (int n = 1; n <= 22 && stat >> field; ++n) {
    }
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9 - std::stod(field) / double(sysconf(_SC_CLK_TCK));
}

/// Records when each frame reaches the screen: each present of a new frame count.
struct FrameClock {
    std::vector<double> Starts; ///< ms since the clock started
    double FirstFrameAge = -1;  ///< s since process start
    QElapsedTimer Clock;
    std::int32_t LastCount = 0;

    void Presented(const Form1& form)
    {
        if (form.GetWorld().FrameCount == LastCount)
            return;
        LastCount = form.GetWorld().FrameCount;
        if (Starts.empty())
            FirstFrameAge = ProcessAge();
        Starts.push_back(double(Clock.nsecsElapsed()) * 1e-6);
    }
};

double Percentile(std::vector<double> values, double share)
{
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, std::size_t(share * double(values.size() - 1) + 0.5))];
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 20;
    Form1 form;
    FrameClock frames;
    frames.Starts.reserve(1 << 16);
    frames.Clock.start();
    form.GetPresenter().Presented = [&] { frames.Presented(form); };
    form.show();
    QTimer::singleShot(int(seconds * 1000), &form, [&] { form.close(); });
    timespec wallStart{};
    clock_gettime(CLOCK_MONOTONIC, &wallStart);
    const int status = application.exec();

    timespec wallEnd{};
    clock_gettime(CLOCK_MONOTONIC, &wallEnd);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const double wall = double(wallEnd.tv_sec - wallStart.tv_sec) + double(wallEnd.tv_nsec - wallStart.tv_nsec) * 1e-9;
    const double cpu = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                       double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
    // Frames run, whether or not the compositor let them be shown.
    std::printf("frames run             %d in %.1f s (%.1f a second)\n", form.GetWorld().FrameCount, wall,
                form.GetWorld().FrameCount / wall);
    std::vector<double> spacing;
    for (std::size_t n = 1; n < frames.Starts.size(); ++n)
        spacing.push_back(frames.Starts[n] - frames.Starts[n - 1]);
    if (spacing.empty()) {
        std::fprintf(stderr, "homing-measure: no frames were drawn\n");
        return 1;
    }
    std::printf("frames shown           %zu in %.1f s\n", frames.Starts.size(), wall);
    std::printf("frame spacing, ms      median %.2f, 99th percentile %.2f, largest %.2f\n", Percentile(spacing, 0.5),
                Percentile(spacing, 0.99), *std::max_element(spacing.begin(), spacing.end()));
    std::printf("processor              %.2f %% of one core (user + system over wall time)\n", 100 * cpu / wall);
    std::printf("peak resident memory   %.1f MB\n", double(usage.ru_maxrss) / 1024);
    std::printf("first frame            %.0f ms after process start\n", frames.FirstFrameAge * 1000);
    return status;
}
