// Sine, cosine, angle and length of 32-bit floats that give the same bits
// with every compiler and C library. Each is computed in double with additions,
// multiplications, divisions and square roots alone (IEEE operations, rounded
// the same everywhere) and rounded once to float, so no result depends on the
// platform's libm. Results are the float nearest the true value except, rarely,
// where the true value lies within about 1e-16 of halfway between two floats.
// Arguments past 1.6 million radians are reduced with less accuracy (still the
// same bits everywhere).
#pragma once

namespace easel::portable {

float sin(float a);
float cos(float a);
// The angle of (x, y) from the positive horizontal axis, in (-pi, pi], with
// the signed-zero and axis conventions of std::atan2.
float atan2(float y, float x);
// sqrt(x * x + y * y) without overflow for any finite floats.
float hypot(float x, float y);

// The double results the float ones are rounded from (within a few units in
// the last place of the true value for arguments below 1.6 million).
double sinDouble(double x);
double cosDouble(double x);
double atan2Double(double y, double x);

}  // namespace easel::portable
