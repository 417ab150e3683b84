#include "synthetic_spectrum/SyntheticSpectrum.h"

#include <cmath>
#include <random>

std::vector<TCurvePoint> SyntheticSpectrum(int count, unsigned seed)
{
    struct TLine {
        double Center;
        double Width;
        double Height;
    };
    static const TLine lines[] = {{88, 2.5, 150}, {161, 4, 70}, {254, 1.8, 190}, {331, 6, 55}, {436, 2.2, 120}};

    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0.0, 2.0);
    std::vector<TCurvePoint> points;
    points.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i) {
        const double x = count > 1 ? 6.0 + 506.0 * i / (count - 1) : 6.0;
        double value = 20.0 + 0.03 * x;
        for (const TLine& line : lines)
            value += line.Height * std::exp(-0.5 * std::pow((x - line.Center) / line.Width, 2));
        points.push_back({x, value + noise(random)});
    }
    return points;
}
