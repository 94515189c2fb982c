// Figures of the skin: the window shape made from the skin file's bitmap, and from a worst-case
// bitmap where every other pixel is a run of its own.
#include "bench/Bench.h"
#include "mainwindow/Skin.h"
#include "tests/support/TestSupport.h"

#include <algorithm>

namespace {

double MedianMs(const std::function<void()> &work) {
    std::vector<double> times;
    for (int i = 0; i < 5; ++i)
        times.push_back(SecondsOf(work) * 1000);
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Reading bitmap 1 from "MainDlgSrc.dat" and making the window region of it.
const BenchRegistration shapeRegion("skin_shape_region_ms", "ms", [] {
    TestDatabase t;
    bool made = true;
    const double ms = MedianMs([&] {
        made = made && !skin::RegionFromBitmap(skin::LoadBitmap(QString::fromLatin1(skin::SkinFileName), 1)).isEmpty();
    });
    return made ? ms : -1.0;
});

// 1260 by 760 pixels, every other one dark: 478,800 runs united in pieces of 2000.
const BenchRegistration worstRegion("skin_region_478800_runs_ms", "ms", [] {
    QImage image(1260, 760, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 0; y < image.height(); ++y)
        for (int x = y % 2; x < image.width(); x += 2)
            image.setPixel(x, y, qRgb(0, 0, 0));
    return MedianMs([&] { skin::RegionFromBitmap(image); });
});

} // namespace
