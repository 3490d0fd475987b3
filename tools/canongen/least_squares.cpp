#include "tools/canongen/least_squares.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace tarvo::canongen {

std::optional<PolynomialCoefficients> fitPolynomial(std::span<const double> t,
                                                    std::span<const double> f, int degree) {
  if (degree < 1 || degree > 3 || t.size() != f.size() || t.size() < std::size_t(degree) + 1)
    return std::nullopt;
  const int n = degree + 1;
  // Normal equations A c = b with A[i][j] = Σ t^(i+j), b[i] = Σ f t^i.
  double a[4][5] = {};
  for (std::size_t k = 0; k < t.size(); ++k) {
    double powers[7];
    powers[0] = 1.0;
    for (int p = 1; p < 2 * n - 1; ++p) powers[p] = powers[p - 1] * t[k];
    for (int i = 0; i < n; ++i) {
      for (int j = 0; j < n; ++j) a[i][j] += powers[i + j];
      a[i][n] += f[k] * powers[i];
    }
  }
  // Gaussian elimination with partial pivoting.
  for (int col = 0; col < n; ++col) {
    int pivot = col;
    for (int row = col + 1; row < n; ++row)
      if (std::fabs(a[row][col]) > std::fabs(a[pivot][col])) pivot = row;
    if (!(std::fabs(a[pivot][col]) > 1e-300)) return std::nullopt;
    if (pivot != col)
      for (int j = 0; j <= n; ++j) std::swap(a[pivot][j], a[col][j]);
    for (int row = col + 1; row < n; ++row) {
      const double factor = a[row][col] / a[col][col];
      for (int j = col; j <= n; ++j) a[row][j] -= factor * a[col][j];
    }
  }
  PolynomialCoefficients c{};
  for (int i = n - 1; i >= 0; --i) {
    double sum = a[i][n];
    for (int j = i + 1; j < n; ++j) sum -= a[i][j] * c[j];
    c[i] = sum / a[i][i];
  }
  for (double v : c)
    if (!std::isfinite(v)) return std::nullopt;
  return c;
}

double evaluatePolynomial(const PolynomialCoefficients& c, double t) {
  return c[0] + t * (c[1] + t * (c[2] + t * c[3]));
}

double largestResidual(const PolynomialCoefficients& c, std::span<const double> t,
                       std::span<const double> f) {
  double worst = 0.0;
  for (std::size_t k = 0; k < t.size() && k < f.size(); ++k)
    worst = std::max(worst, std::fabs(evaluatePolynomial(c, t[k]) - f[k]));
  return worst;
}

}  // namespace tarvo::canongen
