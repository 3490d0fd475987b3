// tarvo-sky-grids: fits the Jupiter and Saturn correction grids of the sky
// chart to the Swiss Ephemeris, and measures what they buy.
//
//   tarvo-sky-grids fit ROW0_TXT OUT_HEADER
//       Fits, for each planet, one smooth periodic function of the grid
//       arguments (g1, g2) per grid (a 2-D Fourier series) to the planet's
//       heliocentric longitude and radius of date from the ephemeris files
//       (TT, by default every 15 days over the years −3000..3000), by
//       Gauss–Newton least squares, with the fixed row 0 as weighted
//       pseudo-observations at g2 = 0. Errors slower than the grid arguments
//       (per 100-year bin, an offset and a drift) are fitted alongside and
//       thrown away, so that the grids hold the periodic perturbations only. The functions are sampled on the 10°
//       nodes and rounded to the grids' integer units; row 0 (and row 36, the
//       same g2 = 0 line) is the fixed row from ROW0_TXT, exactly.
//   tarvo-sky-grids measure [STEP_DAYS [FROM_YEAR TO_YEAR]]
//       Geocentric apparent places of Jupiter and Saturn against the ephemeris
//       (TT, default every 10 days over −3000..3000) with no grids, with row 0 repeated on every row, and
//       with the committed grids: worst and mean angular error, degrees.
#include <swephexp.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "base/angles.h"
#include "sky/earth_orientation.h"
#include "sky/planets.h"

namespace {

using namespace tarvo;

constexpr double kFirstJd = 625307.5;   // −3000 January 1 (Julian calendar)
constexpr double kLastJd = 2816787.5;   // 3000 January 1 (Gregorian calendar)
// Fourier orders in g1 and g2 of the fitted functions.
constexpr int kOrderG1 = 4;
constexpr int kOrderG2 = 6;
constexpr int kGaussNewtonRounds = 4;

// What the fit covers and how strongly it pulls the functions towards zero:
// the arguments g1, g2 revisit a point only about once in 900 years (the
// great inequality), so at one point the mean longitude, perihelion and
// eccentricity terms are nearly interchangeable; the ridge settles the split.
struct FitOptions {
  double firstJd = kFirstJd, lastJd = kLastJd;
  double stepDays = 15.0;
  double ridge = 0.02;  // per sample, per squared degree of coefficient
  // Weight of the fixed row 0 (as pseudo-observations of the functions at
  // g2 = 0) against the whole of the ephemeris samples, so that the fitted
  // rows join it without a step.
  double row0Weight = 0.2;
  // Length of the bins of the slow terms (0: none), years.
  double slowBinYears = 100.0;
};

using Row0 = std::map<std::string, std::array<double, 37>>;
const char* const kGridNames[7] = {"J1", "J2", "J3", "S1", "S2", "S3", "S4"};

// Heliocentric ecliptic longitude (degrees) and radius (AU) of date, geometric.
std::optional<std::array<double, 2>> referenceHeliocentric(int body, double jdTT) {
  double xx[6] = {};
  char error[AS_MAXCH] = {};
  const int flags = SEFLG_SWIEPH | SEFLG_HELCTR | SEFLG_TRUEPOS | SEFLG_NONUT;
  const int got = swe_calc(jdTT, body, flags, xx, error);
  if (got < 0 || (got & SEFLG_SWIEPH) == 0) return std::nullopt;
  return std::array<double, 2>{xx[0], xx[2]};
}

// Apparent geocentric right ascension and declination of date, degrees.
std::optional<std::array<double, 2>> referenceApparent(int body, double jdTT) {
  double xx[6] = {};
  char error[AS_MAXCH] = {};
  const int got = swe_calc(jdTT, body, SEFLG_SWIEPH | SEFLG_EQUATORIAL, xx, error);
  if (got < 0 || (got & SEFLG_SWIEPH) == 0) return std::nullopt;
  return std::array<double, 2>{xx[0], xx[1]};
}

double separationDeg(double ra1, double dec1, double ra2, double dec2) {
  const double a1 = ra1 * kDegToRad, d1 = dec1 * kDegToRad, a2 = ra2 * kDegToRad, d2 = dec2 * kDegToRad;
  const double x = std::cos(d1) * std::cos(a1) - std::cos(d2) * std::cos(a2);
  const double y = std::cos(d1) * std::sin(a1) - std::cos(d2) * std::sin(a2);
  const double z = std::sin(d1) - std::sin(d2);
  return 2.0 * std::asin(std::sqrt(x * x + y * y + z * z) / 2.0) / kDegToRad;
}

// The real Fourier basis in (g1, g2): 1, then cos and sin of p·g1 + q·g2 for
// each (p, q) of a half plane.
struct Basis {
  std::vector<std::array<int, 2>> harmonics;
  Basis() {
    for (int p = 0; p <= kOrderG1; ++p)
      for (int q = -kOrderG2; q <= kOrderG2; ++q)
        if (p > 0 || q > 0) harmonics.push_back({p, q});
  }
  int size() const { return 1 + 2 * int(harmonics.size()); }
  void values(double g1, double g2, std::vector<double>& out) const {
    out.assign(size(), 0.0);
    out[0] = 1.0;
    for (std::size_t h = 0; h < harmonics.size(); ++h) {
      const double arg = (harmonics[h][0] * g1 + harmonics[h][1] * g2) * kDegToRad;
      out[1 + 2 * h] = std::cos(arg);
      out[2 + 2 * h] = std::sin(arg);
    }
  }
};

// Solves the symmetric positive definite system a·x = b (Cholesky).
bool solveNormal(std::vector<double> a, std::vector<double> b, int n, std::vector<double>& x) {
  for (int j = 0; j < n; ++j) {
    double d = a[j * n + j];
    for (int k = 0; k < j; ++k) d -= a[j * n + k] * a[j * n + k];
    if (!(d > 0)) return false;
    d = std::sqrt(d);
    a[j * n + j] = d;
    for (int i = j + 1; i < n; ++i) {
      double s = a[i * n + j];
      for (int k = 0; k < j; ++k) s -= a[i * n + k] * a[j * n + k];
      a[i * n + j] = s / d;
    }
  }
  for (int i = 0; i < n; ++i) {
    double s = b[i];
    for (int k = 0; k < i; ++k) s -= a[i * n + k] * b[k];
    b[i] = s / a[i * n + i];
  }
  for (int i = n - 1; i >= 0; --i) {
    double s = b[i];
    for (int k = i + 1; k < n; ++k) s -= a[k * n + i] * b[k];
    b[i] = s / a[i * n + i];
  }
  x = b;
  return true;
}

// Grid terms (degrees, AU) from the fitted functions, unrounded.
PlanetGridTerms termsFrom(const std::vector<double>& coef, int grids, const std::vector<double>& basis) {
  double v[4] = {0, 0, 0, 0};
  const int nb = int(basis.size());
  for (int g = 0; g < grids; ++g)
    for (int k = 0; k < nb; ++k) v[g] += coef[g * nb + k] * basis[k];
  return {v[0], v[1], v[2], v[3]};
}

// Fits one planet's functions; coefficients per grid in degrees (AU for
// Saturn's fourth). With options.slowBinYears > 0 the fit also carries, per
// bin of that many years, an offset and a drift in longitude and in radius
// that the program does not use: errors slower than the grid arguments (the
// drift of the great inequality terms, the elements' secular terms) go there
// instead of into the grids, which then hold the periodic perturbations.
std::vector<double> fitPlanet(int code, int body, const FitOptions& options, const Row0& row0) {
  const Basis basis;
  const int nb = basis.size();
  const int grids = code == kJupiter ? 3 : 4;
  const int ng = grids * nb;
  const double binDays = options.slowBinYears * 365.25;
  const int bins = binDays > 0 ? int(std::ceil((options.lastJd - options.firstJd + 1) / binDays)) : 0;
  const int n = ng + 4 * bins;
  std::vector<double> coef(n, 0.0);
  std::vector<double> phi;
  std::vector<int> index(ng + 2);
  std::vector<double> value(ng + 2);
  for (int round = 0; round < kGaussNewtonRounds; ++round) {
    std::vector<double> normal(std::size_t(n) * n, 0.0), rhs(n, 0.0);
    double sumSq = 0;
    long samples = 0;
    for (double jd = options.firstJd; jd <= options.lastJd; jd += options.stepDays) {
      const auto ref = referenceHeliocentric(body, jd);
      if (!ref) continue;
      basis.values(gridArgumentG1(jd), gridArgumentG2(jd), phi);
      const PlanetGridTerms terms = termsFrom(coef, grids, phi);
      const HeliocentricPlace here = heliocentricPlanet(jd, code, terms);
      // The slow part: offset + drift·tau in the sample's bin, tau in [−1, 1].
      int bin = -1;
      double tau = 0, slow[2] = {0, 0};
      if (bins > 0) {
        bin = std::min(bins - 1, int((jd - options.firstJd) / binDays));
        tau = (jd - options.firstJd - (bin + 0.5) * binDays) / (0.5 * binDays);
        for (int o = 0; o < 2; ++o) slow[o] = coef[ng + 4 * bin + 2 * o] + coef[ng + 4 * bin + 2 * o + 1] * tau;
      }
      // Residuals: longitude in degrees, radius as the angle it subtends, degrees.
      const double radiusWeight = 1.0 / kDegToRad / here.radius;
      const double res[2] = {angleDiffDeg((*ref)[0], here.longitude) - slow[0],
                             ((*ref)[1] - here.radius) * radiusWeight - slow[1]};
      // Partial derivatives of (l, r) by each grid term, by central differences.
      double partial[4][2];
      for (int g = 0; g < grids; ++g) {
        const double h = g == 3 ? 1e-4 : 1e-3;
        PlanetGridTerms up = terms, down = terms;
        double* fieldsUp[4] = {&up.meanLongitude, &up.perihelion, &up.eccentricityAngle, &up.semiMajorAxis};
        double* fieldsDown[4] = {&down.meanLongitude, &down.perihelion, &down.eccentricityAngle,
                                 &down.semiMajorAxis};
        *fieldsUp[g] += h;
        *fieldsDown[g] -= h;
        const HeliocentricPlace a = heliocentricPlanet(jd, code, up), b = heliocentricPlanet(jd, code, down);
        partial[g][0] = angleDiffDeg(a.longitude, b.longitude) / (2 * h);
        partial[g][1] = (a.radius - b.radius) / (2 * h) * radiusWeight;
      }
      for (int o = 0; o < 2; ++o) {
        int count = 0;
        for (int g = 0; g < grids; ++g)
          for (int k = 0; k < nb; ++k) {
            index[count] = g * nb + k;
            value[count++] = partial[g][o] * phi[k];
          }
        if (bin >= 0) {
          index[count] = ng + 4 * bin + 2 * o;
          value[count++] = 1.0;
          index[count] = ng + 4 * bin + 2 * o + 1;
          value[count++] = tau;
        }
        // Indices ascend, so (a, b) with b ≤ a fills the lower triangle.
        for (int a = 0; a < count; ++a) {
          rhs[index[a]] += value[a] * res[o];
          double* rowA = &normal[std::size_t(index[a]) * n];
          for (int b = 0; b <= a; ++b) rowA[index[b]] += value[a] * value[b];
        }
        sumSq += res[o] * res[o];
      }
      ++samples;
    }
    // A light pull of the slow terms towards zero leaves their mean to the grids' constants.
    for (int i = ng; i < n; ++i) {
      const double weight = 1e-3 * samples / bins;
      normal[std::size_t(i) * n + i] += weight;
      rhs[i] -= weight * coef[i];
    }
    // The fixed row 0, in degrees (AU for S4), as weighted pseudo-observations.
    const double pseudoWeight = options.row0Weight * 2.0 * samples / (37.0 * grids);
    for (int g = 0; g < grids; ++g) {
      const int gridIndex = (code == kJupiter ? 0 : 3) + g;
      const double unitsPerValue = gridIndex == 6 ? 1000.0 : 100.0;
      const double scale = gridIndex == 6 ? 100.0 : 1.0;  // 0.01 AU weighs as 1°
      for (int col = 0; col < 37; ++col) {
        basis.values(10.0 * col, 0.0, phi);
        double current = 0;
        for (int k = 0; k < nb; ++k) current += coef[g * nb + k] * phi[k];
        const double res = (row0.at(kGridNames[gridIndex])[col] / unitsPerValue - current) * scale;
        for (int i = 0; i < nb; ++i) {
          const int gi = g * nb + i;
          rhs[gi] += pseudoWeight * scale * phi[i] * res;
          for (int j = 0; j <= i; ++j) normal[std::size_t(gi) * n + g * nb + j] += pseudoWeight * scale * scale * phi[i] * phi[j];
        }
      }
    }
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < i; ++j) normal[std::size_t(j) * n + i] = normal[std::size_t(i) * n + j];
    // Tikhonov term ridge·samples·|coef|² on the periodic terms (the semi-major
    // axis in units of 0.01 AU); the constant terms (Saturn's bias) are free.
    for (int i = 0; i < ng; ++i) {
      if (i % nb == 0) continue;
      const double scale = i / nb == 3 ? 100.0 : 1.0;
      const double weight = options.ridge * samples * scale * scale;
      normal[std::size_t(i) * n + i] += weight;
      rhs[i] -= weight * coef[i];
    }
    std::vector<double> step;
    if (!solveNormal(normal, rhs, n, step)) {
      std::fprintf(stderr, "normal equations not positive definite\n");
      std::exit(1);
    }
    for (int i = 0; i < n; ++i) coef[i] += step[i];
    std::fprintf(stderr, "planet %d round %d: %ld samples, rms residual before the step %.5f deg\n", code,
                 round + 1, samples, std::sqrt(sumSq / (2.0 * samples)));
  }
  return coef;
}

std::optional<Row0> readRow0(const char* path) {
  std::ifstream in(path);
  if (!in) return std::nullopt;
  Row0 rows;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string name;
    fields >> name;
    std::array<double, 37> values{};
    for (double& v : values)
      if (!(fields >> v)) return std::nullopt;
    rows[name] = values;
  }
  for (const char* name : kGridNames)
    if (!rows.count(name)) return std::nullopt;
  return rows;
}

int fit(const char* row0Path, const char* outPath, const FitOptions& options) {
  const auto row0 = readRow0(row0Path);
  if (!row0) {
    std::fprintf(stderr, "cannot read the seven rows of %s\n", row0Path);
    return 1;
  }
  const std::vector<double> jupiter = fitPlanet(kJupiter, SE_JUPITER, options, *row0);
  const std::vector<double> saturn = fitPlanet(kSaturn, SE_SATURN, options, *row0);
  const Basis basis;
  const int nb = basis.size();
  std::vector<double> phi;
  double grids[7][37][37];
  for (int g = 0; g < 7; ++g) {
    const std::vector<double>& coef = g < 3 ? jupiter : saturn;
    const int slot = g < 3 ? g : g - 3;
    const double unitsPerValue = g == 6 ? 1000.0 : 100.0;  // 0.001 AU, 0.01°
    double worstRow0 = 0;
    for (int row = 0; row < 37; ++row)
      for (int col = 0; col < 37; ++col) {
        basis.values(10.0 * col, 10.0 * row, phi);
        double v = 0;
        for (int k = 0; k < nb; ++k) v += coef[slot * nb + k] * phi[k];
        v *= unitsPerValue;
        const double given = row0->at(kGridNames[g])[col];
        if (row == 0) worstRow0 = std::fmax(worstRow0, std::fabs(v - given));
        grids[g][row][col] = (row == 0 || row == 36) ? given : std::nearbyint(v);
      }
    double lo = 1e9, hi = -1e9;
    for (auto& r : grids[g])
      for (double v : r) lo = std::fmin(lo, v), hi = std::fmax(hi, v);
    std::fprintf(stderr, "%s: values %g to %g; fitted row 0 differs from the fixed one by up to %.1f units\n",
                 kGridNames[g], lo, hi, worstRow0);
  }
  FILE* out = std::fopen(outPath, "w");
  if (!out) {
    std::fprintf(stderr, "cannot write %s\n", outPath);
    return 1;
  }
  std::fprintf(out,
               "// The Jupiter and Saturn correction grids of the sky chart: J1, J2, J3 (Jupiter's mean\n"
               "// longitude, perihelion term, eccentricity angle; 0.01 degree) and S1, S2, S3, S4\n"
               "// (Saturn's three, 0.01 degree, and its semi-major axis, 0.001 AU), each [row][column]\n"
               "// with the row by g2 and the column by g1 in steps of 10 degrees from 0 to 360.\n"
               "// Rows 0 and 36 (g2 = 0) are the fixed row 0; the other rows were fitted to the\n"
               "// Swiss Ephemeris over -3000..3000 by `tarvo-sky-grids fit tools/sky/grid_row0.txt`\n"
               "// (tools/sky/planet_grids_main.cpp); do not edit.\n"
               "#pragma once\n\nnamespace tarvo::data {\n\n"
               "inline constexpr double kPlanetCorrectionGrids[7][37][37] = {\n");
  for (int g = 0; g < 7; ++g) {
    std::fprintf(out, "    // %s\n    {\n", kGridNames[g]);
    for (int row = 0; row < 37; ++row) {
      std::fprintf(out, "        {");
      for (int col = 0; col < 37; ++col) std::fprintf(out, "%s%g", col ? ", " : "", grids[g][row][col] + 0.0);
      std::fprintf(out, "},\n");
    }
    std::fprintf(out, "    },\n");
  }
  std::fprintf(out, "};\n\n}  // namespace tarvo::data\n");
  std::fclose(out);
  return 0;
}

PlanetCorrectionGrids zeroGrids() {
  PlanetCorrectionGrids g{};
  return g;
}

PlanetCorrectionGrids rowZeroGrids() {
  PlanetCorrectionGrids g = planetCorrectionGrids();
  PerturbationGrid* all[7] = {&g.j1, &g.j2, &g.j3, &g.s1, &g.s2, &g.s3, &g.s4};
  for (PerturbationGrid* grid : all)
    for (int row = 1; row < 37; ++row) (*grid)[row] = (*grid)[0];
  return g;
}

int measure(double stepDays, double firstJd, double lastJd, const char* span) {
  struct Variant {
    const char* name;
    PlanetCorrectionGrids grids;
  };
  const Variant variants[3] = {{"no grids (all zero)", zeroGrids()},
                               {"row 0 on every row", rowZeroGrids()},
                               {"committed grids", planetCorrectionGrids()}};
  std::printf("Geocentric apparent places against the Swiss Ephemeris, TT, years %s, every %g days\n", span,
              stepDays);
  std::printf("%-8s %-22s %12s %12s %9s\n", "planet", "grids", "worst(deg)", "mean(deg)", "samples");
  const int codes[2] = {kJupiter, kSaturn};
  const int bodies[2] = {SE_JUPITER, SE_SATURN};
  for (int p = 0; p < 2; ++p)
    for (const Variant& v : variants) {
      double worst = 0, sum = 0;
      long count = 0;
      for (double jd = firstJd; jd <= lastJd; jd += stepDays) {
        const auto ref = referenceApparent(bodies[p], jd);
        if (!ref) continue;
        const BodyPosition here = planetPositionWithGrids(jd, codes[p], v.grids);
        const double err = separationDeg(here.ra, here.dec, (*ref)[0], (*ref)[1]);
        worst = std::fmax(worst, err);
        sum += err;
        ++count;
      }
      std::printf("%-8s %-22s %12.4f %12.4f %9ld\n", p == 0 ? "Jupiter" : "Saturn", v.name, worst,
                  count ? sum / count : 0.0, count);
    }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  swe_set_ephe_path(const_cast<char*>("/usr/share/libswe/ephe"));
  const std::string mode = argc > 1 ? argv[1] : "";
  int status = 64;
  if (mode == "fit" && argc >= 4) {
    FitOptions options;
    bool ok = true;
    for (int i = 4; i + 1 < argc && ok; i += 2) {
      const std::string key = argv[i];
      const double value = std::atof(argv[i + 1]);
      if (key == "--from") options.firstJd = swe_julday(int(value), 1, 1, 0.0, value < 1583 ? SE_JUL_CAL : SE_GREG_CAL);
      else if (key == "--to") options.lastJd = swe_julday(int(value), 1, 1, 0.0, value < 1583 ? SE_JUL_CAL : SE_GREG_CAL);
      else if (key == "--step") options.stepDays = value;
      else if (key == "--ridge") options.ridge = value;
      else if (key == "--row0-weight") options.row0Weight = value;
      else if (key == "--slow-bin") options.slowBinYears = value;
      else ok = false;
    }
    ok = ok && (argc - 4) % 2 == 0 && options.stepDays > 0 && options.ridge >= 0 && options.row0Weight >= 0 && options.slowBinYears >= 0 && options.lastJd > options.firstJd;
    status = ok ? fit(argv[2], argv[3], options) : 64;
  } else if (mode == "measure" && (argc <= 3 || argc == 5)) {
    const double step = argc >= 3 ? std::atof(argv[2]) : 10.0;
    const int from = argc == 5 ? std::atoi(argv[3]) : -3000, to = argc == 5 ? std::atoi(argv[4]) : 3000;
    const std::string span = std::to_string(from) + ".." + std::to_string(to);
    const double first = swe_julday(from, 1, 1, 0.0, from < 1583 ? SE_JUL_CAL : SE_GREG_CAL);
    const double last = swe_julday(to, 1, 1, 0.0, to < 1583 ? SE_JUL_CAL : SE_GREG_CAL);
    status = step > 0 && last > first ? measure(step, first, last, span.c_str()) : 64;
  }
  if (status == 64)
    std::fprintf(stderr, "usage: tarvo-sky-grids fit ROW0_TXT OUT_HEADER [--from YEAR] [--to YEAR] [--step DAYS] [--ridge R] [--row0-weight W] [--slow-bin YEARS]\n"
                 "       tarvo-sky-grids measure [STEP_DAYS [FROM_YEAR TO_YEAR]]\n");
  swe_close();
  return status;
}
