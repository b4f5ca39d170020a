#include "support/random_polygons.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace testsupport {

double Uniform(std::mt19937& random, double low, double high) {
    return low + (high - low) * (random() / 4294967296.0);
}

std::vector<KqPoint2> RandomPolygon(std::mt19937& random, int n, int mostCorners) {
    const auto uniform = [&random](double low, double high) { return Uniform(random, low, high); };
    const int kind = n % 5;
    const int corners = 3 + static_cast<int>(random() % static_cast<unsigned>(mostCorners - 2));
    std::vector<KqPoint2> polygon;
    std::vector<double> angles;
    for (int i = 0; i < corners; ++i)
        angles.push_back(uniform(0, 2 * std::numbers::pi));
    std::sort(angles.begin(), angles.end());
    for (const double angle : angles) {
        const double radius = kind == 0 ? 5 : uniform(0.5, 5);
        switch (kind) {
        case 0:
        case 1:
            polygon.push_back({radius * std::cos(angle), radius * std::sin(angle)});
            break;
        case 2:
            polygon.push_back({uniform(-5, 5), uniform(-5, 5)});
            break;
        case 3:
            polygon.push_back({uniform(0, 1000), uniform(0, 1e-3)});
            break;
        default:
            polygon.push_back({double(random() % 4), double(random() % 4)});
        }
    }
    return polygon;
}

} // namespace testsupport
