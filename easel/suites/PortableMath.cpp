#include "PortableMath.h"

#include <cmath>

namespace easel::portable {

namespace {

// pi/2 in three parts: the first two have 33 significant bits, so their
// products with a quadrant count below 2^20 are exact.
constexpr double kPio2Part1 = 0x1.921fb544p+0;
constexpr double kPio2Part2 = 0x1.0b4611a6p-34;
constexpr double kPio2Part3 = 0x1.3198a2e037073p-69;
constexpr double kTwoOverPi = 0x1.45f306dc9c883p-1;
constexpr double kPi = 0x1.921fb54442d18p+1;
constexpr double kPio2 = 0x1.921fb54442d18p+0;
constexpr double kPio6 = 0x1.0c152382d7366p-1;
constexpr double kSqrt3 = 0x1.bb67ae8584caap+0;
constexpr double kTanPio12 = 0x1.126145e9ecd56p-2;  // 2 - sqrt(3)

// Taylor coefficients (-1)^k / (2k+1)! and (-1)^k / (2k)!, correctly rounded;
// on |r| <= pi/4 the first omitted term is below 1e-24.
constexpr double kSin[] = {0x1p+0,
                           -0x1.5555555555555p-3,
                           0x1.1111111111111p-7,
                           -0x1.a01a01a01a01ap-13,
                           0x1.71de3a556c734p-19,
                           -0x1.ae64567f544e4p-26,
                           0x1.6124613a86d09p-33,
                           -0x1.ae7f3e733b81fp-41,
                           0x1.952c77030ad4ap-49,
                           -0x1.2f49b46814157p-57,
                           0x1.71b8ef6dcf572p-66};
constexpr double kCos[] = {0x1p+0,
                           -0x1p-1,
                           0x1.5555555555555p-5,
                           -0x1.6c16c16c16c17p-10,
                           0x1.a01a01a01a01ap-16,
                           -0x1.27e4fb7789f5cp-22,
                           0x1.1eed8eff8d898p-29,
                           -0x1.93974a8c07c9dp-37,
                           0x1.ae7f3e733b81fp-45,
                           -0x1.6827863b97d97p-53,
                           0x1.e542ba4020225p-62};
// (-1)^k / (2k+1): on |w| <= 2 - sqrt(3) the first omitted term is below 1e-20.
constexpr double kAtan[] = {0x1p+0,
                            -0x1.5555555555555p-2,
                            0x1.999999999999ap-3,
                            -0x1.2492492492492p-3,
                            0x1.c71c71c71c71cp-4,
                            -0x1.745d1745d1746p-4,
                            0x1.3b13b13b13b14p-4,
                            -0x1.1111111111111p-4,
                            0x1.e1e1e1e1e1e1ep-5,
                            -0x1.af286bca1af28p-5,
                            0x1.8618618618618p-5,
                            -0x1.642c8590b2164p-5,
                            0x1.47ae147ae147bp-5,
                            -0x1.2f684bda12f68p-5,
                            0x1.1a7b9611a7b96p-5,
                            -0x1.0842108421084p-5,
                            0x1.f07c1f07c1f08p-6};

// c[0] + c[1] z + c[2] z^2 + ..., evaluated from the highest term down.
template <int N>
double series(const double (&c)[N], double z) {
    double sum = c[N - 1];
    for (int k = N - 2; k >= 0; --k) sum = sum * z + c[k];
    return sum;
}

double sinKernel(double r) { return r * series(kSin, r * r); }
double cosKernel(double r) { return series(kCos, r * r); }

// x = n pi/2 + r with |r| <= pi/4 (about); returns r and the quadrant n mod 4.
double reduce(double x, int& quadrant) {
    const double n = std::nearbyint(x * kTwoOverPi);
    const double r = ((x - n * kPio2Part1) - n * kPio2Part2) - n * kPio2Part3;
    quadrant = static_cast<int>(std::fmod(n, 4.0));
    if (quadrant < 0) quadrant += 4;
    return r;
}

double sinReduced(double x) {
    int q = 0;
    const double r = reduce(x, q);
    switch (q) {
    case 0: return sinKernel(r);
    case 1: return cosKernel(r);
    case 2: return -sinKernel(r);
    default: return -cosKernel(r);
    }
}

double cosReduced(double x) {
    int q = 0;
    const double r = reduce(x, q);
    switch (q) {
    case 0: return cosKernel(r);
    case 1: return -sinKernel(r);
    case 2: return -cosKernel(r);
    default: return sinKernel(r);
    }
}

// atan of z in [0, 1].
double atanUnit(double z) {
    if (z <= kTanPio12) return z * series(kAtan, z * z);
    // atan z = pi/6 + atan w with w = (z sqrt 3 - 1) / (z + sqrt 3), |w| <= 2 - sqrt 3.
    const double w = (z * kSqrt3 - 1.0) / (z + kSqrt3);
    return kPio6 + w * series(kAtan, w * w);
}

}  // namespace

double sinDouble(double x) { return x == 0.0 ? x : sinReduced(x); }  // keeps -0

double cosDouble(double x) { return cosReduced(x); }

double atan2Double(double y, double x) {
    const double ay = std::fabs(y), ax = std::fabs(x);
    double angle;
    if (ay == 0.0)
        angle = std::signbit(x) ? kPi : 0.0;
    else if (ax == 0.0)
        angle = kPio2;
    else if (ay <= ax)
        angle = atanUnit(ay / ax);
    else
        angle = kPio2 - atanUnit(ax / ay);
    if (ay != 0.0 && x < 0.0) angle = kPi - angle;
    return std::signbit(y) ? -angle : angle;
}

float sin(float a) { return static_cast<float>(sinDouble(a)); }

float cos(float a) { return static_cast<float>(cosDouble(a)); }

float atan2(float y, float x) { return static_cast<float>(atan2Double(y, x)); }

float hypot(float xf, float yf) {
    // Squares of floats are exact in double and their sum cannot overflow.
    const double x = xf, y = yf;
    return static_cast<float>(std::sqrt(x * x + y * y));
}

}  // namespace easel::portable
