// Least-squares polynomial fits of low degree.
#pragma once

#include <array>
#include <optional>
#include <span>

namespace tarvo::canongen {

// Coefficients c0..c3 of c0 + c1 t + c2 t² + c3 t³ (unused ones 0).
using PolynomialCoefficients = std::array<double, 4>;

// Fits a polynomial of degree 1..3 to the points (t[i], f[i]); nullopt if the
// points cannot determine it (fewer than degree + 1 distinct abscissas).
std::optional<PolynomialCoefficients> fitPolynomial(std::span<const double> t,
                                                    std::span<const double> f, int degree);

double evaluatePolynomial(const PolynomialCoefficients& c, double t);

// Largest |fit − f| over the points.
double largestResidual(const PolynomialCoefficients& c, std::span<const double> t,
                       std::span<const double> f);

}  // namespace tarvo::canongen
