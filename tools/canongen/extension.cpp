#include "extension.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "base/angles.h"

namespace tarvo::extension {
namespace {

constexpr double kAuKm = 149597870.7;
constexpr double kJ2000 = 2451545.0;
constexpr double kDaysPerCentury = 36525.0;

// Fundamental arguments, in the order of ExtensionModel::fundamental.
enum Fundamental { kD, kM, kMp, kF, kLs, kVenus, kMars, kJupiter, kSaturn, kA2 };

// Standard polynomials of the fundamental arguments, degrees, T in Julian
// centuries of TT from J2000 (mean equinox of date). Only their values and
// first two derivatives near the window's centre are used, and the rates of
// D, M, M', F are re-fitted afterwards.
constexpr double kStandard[ExtensionModel::kFundamentals][5] = {
    {297.8501921, 445267.1114034, -0.0018819, 1.0 / 545868.0, -1.0 / 113065000.0},  // D
    {357.5291092, 35999.0502909, -0.0001536, 1.0 / 24490000.0, 0.0},                 // M
    {134.9633964, 477198.8675055, 0.0087414, 1.0 / 69699.0, -1.0 / 14712000.0},      // M'
    {93.2720950, 483202.0175233, -0.0036539, -1.0 / 3526000.0, 1.0 / 863310000.0},   // F
    {280.46646, 36000.76983, 0.0003032, 0.0, 0.0},                                   // Sun's mean longitude
    {181.979801, 58519.2130302, 0.0, 0.0, 0.0},                                      // Venus
    {355.433275, 19141.6964746, 0.0, 0.0, 0.0},                                      // Mars
    {34.351484, 3036.3027889, 0.0, 0.0, 0.0},                                        // Jupiter
    {50.077471, 1223.5110141, 0.0, 0.0, 0.0},                                        // Saturn
    {53.09, 479264.290, 0.0, 0.0, 0.0},                                              // a Jupiter term of the Moon
};

// Value, first and second derivative of a standard polynomial at T.
void taylor(const double c[5], double t, double h, double out[3]) {
    double v = c[0] + t * (c[1] + t * (c[2] + t * (c[3] + t * c[4])));
    double d1 = c[1] + t * (2 * c[2] + t * (3 * c[3] + t * 4 * c[4]));
    double d2 = 2 * c[2] + t * (6 * c[3] + t * 12 * c[4]);
    out[0] = std::fmod(v, 360.0);
    out[1] = d1 * h;
    out[2] = 0.5 * d2 * h * h;
}

using Multipliers = std::vector<int>;

Multipliers mult(std::initializer_list<std::pair<int, int>> pairs) {
    Multipliers m(ExtensionModel::kFundamentals, 0);
    for (auto [k, n] : pairs) m[k] += n;
    return m;
}

// Combinations n1 D + n2 M + n3 M' + n4 F of total order <= maxOrder (order
// maxOrder only without M), with the parity of n4 given and the first
// non-zero multiplier positive. The amplitudes of the large terms with M
// follow the slow change of the Earth's eccentricity.
void addLunarCombinations(std::vector<ExtensionModel::Argument>& out, bool oddF, int maxOrder) {
    for (int d = 0; d <= 4; ++d)
        for (int m = -2; m <= 2; ++m)
            for (int mp = -4; mp <= 4; ++mp)
                for (int f = -4; f <= 4; ++f) {
                    if ((std::abs(f) % 2 == 1) != oddF) continue;
                    int order = d + std::abs(m) + std::abs(mp) + std::abs(f);
                    if (order == 0 || order > maxOrder || (order == maxOrder && m != 0)) continue;
                    int first = d != 0 ? d : m != 0 ? m : mp != 0 ? mp : f;
                    if (first < 0) continue;
                    out.push_back({mult({{kD, d}, {kM, m}, {kMp, mp}, {kF, f}}), m != 0 && order <= 4});
                }
}

ExtensionModel::Design moonEvenDesign(int maxOrder) {
    ExtensionModel::Design d;
    addLunarCombinations(d.arguments, false, maxOrder);
    // Venus term of 273 years, a Jupiter term, the Earth's figure (node),
    // and the synodic periods of Venus and Jupiter.
    d.arguments.push_back({mult({{kVenus, 18}, {kLs, -16}, {kMp, -1}}), false});
    d.arguments.push_back({mult({{kA2, 1}}), false});
    d.arguments.push_back({mult({{kD, 1}, {kLs, 1}, {kF, -1}}), true});
    d.arguments.push_back({mult({{kD, 2}, {kLs, 2}, {kF, -2}}), true});
    d.arguments.push_back({mult({{kVenus, 1}, {kLs, -1}}), false});
    d.arguments.push_back({mult({{kVenus, 2}, {kLs, -2}}), false});
    d.arguments.push_back({mult({{kJupiter, 1}, {kLs, -1}}), false});
    d.arguments.push_back({mult({{kJupiter, 2}, {kLs, -2}}), false});
    return d;
}

ExtensionModel::Design moonOddDesign(int maxOrder) {
    ExtensionModel::Design d;
    addLunarCombinations(d.arguments, true, maxOrder);
    // Earth's figure and the moving ecliptic: the Moon's mean longitude L
    // alone and with 2D and M', amplitudes changing with time.
    const int withL[][2] = {{0, 0}, {0, 1}, {0, -1}, {2, 0}, {-2, 0}, {2, -1}, {-2, 1}};
    for (const auto& c : withL)
        d.arguments.push_back({mult({{kD, 1 + c[0]}, {kLs, 1}, {kMp, c[1]}}), true});
    // The Venus term combined with F.
    d.arguments.push_back({mult({{kVenus, 18}, {kLs, -16}, {kMp, -1}, {kF, 1}}), false});
    d.arguments.push_back({mult({{kVenus, 18}, {kLs, -16}, {kMp, -1}, {kF, -1}}), false});
    return d;
}

ExtensionModel::Design sunDesign() {
    ExtensionModel::Design d;
    for (int k = 1; k <= 5; ++k) d.arguments.push_back({mult({{kM, k}})});
    // The Earth's motion about the Earth-Moon barycentre.
    d.arguments.push_back({mult({{kD, 1}})});
    d.arguments.push_back({mult({{kD, 1}, {kM, 1}})});
    d.arguments.push_back({mult({{kD, 1}, {kM, -1}})});
    d.arguments.push_back({mult({{kD, 1}, {kMp, 1}})});
    d.arguments.push_back({mult({{kD, 1}, {kMp, -1}})});
    d.arguments.push_back({mult({{kF, 1}})});
    d.arguments.push_back({mult({{kF, 1}, {kD, 1}})});
    d.arguments.push_back({mult({{kF, 1}, {kD, -1}})});
    // Planetary perturbations of the Earth: k P - j E.
    for (int k = 1; k <= 8; ++k)
        for (int j = std::max(1, k - 2); j <= 2 * k; ++j)
            d.arguments.push_back({mult({{kVenus, k}, {kLs, -j}})});
    for (int k = 1; k <= 4; ++k)
        for (int j = 1; j <= 4; ++j) d.arguments.push_back({mult({{kMars, k}, {kLs, -j}})});
    for (int k = 1; k <= 3; ++k)
        for (int j = 0; j <= 3; ++j) d.arguments.push_back({mult({{kJupiter, k}, {kLs, -j}})});
    for (int k = 1; k <= 2; ++k)
        for (int j = 0; j <= 2; ++j) d.arguments.push_back({mult({{kSaturn, k}, {kLs, -j}})});
    for (auto& a : d.arguments) a.secular = true;
    return d;
}

// Normal equations of a linear least-squares problem with several right-hand
// sides sharing one design; rows are buffered and added in blocks.
class NormalEquations {
public:
    NormalEquations(int params, int rhs) : p_(params), r_(rhs), ata_(size_t(params) * params), atb_(size_t(params) * rhs) {
        block_.reserve(size_t(kBlock) * (params + rhs));
    }
    void add(const double* row, const double* y) {
        block_.insert(block_.end(), row, row + p_);
        block_.insert(block_.end(), y, y + r_);
        if (++rows_ == kBlock) flush();
    }
    // Solves with Jacobi scaling and Cholesky; nullopt when not positive definite.
    std::optional<std::vector<std::vector<double>>> solve() {
        flush();
        const int w = p_ + r_;
        (void)w;
        std::vector<double> a(size_t(p_) * p_);
        std::vector<double> s(p_);
        for (int i = 0; i < p_; ++i) {
            double d = ata_[size_t(i) * p_ + i];
            if (!(d > 0)) return std::nullopt;
            s[i] = 1.0 / std::sqrt(d);
        }
        for (int i = 0; i < p_; ++i)
            for (int j = 0; j <= i; ++j) a[size_t(i) * p_ + j] = ata_[size_t(j) * p_ + i] * s[i] * s[j];
        for (int j = 0; j < p_; ++j) {
            double d = a[size_t(j) * p_ + j];
            for (int k = 0; k < j; ++k) d -= a[size_t(j) * p_ + k] * a[size_t(j) * p_ + k];
            if (!(d > 1e-15)) return std::nullopt;
            d = std::sqrt(d);
            a[size_t(j) * p_ + j] = d;
            for (int i = j + 1; i < p_; ++i) {
                double v = a[size_t(i) * p_ + j];
                const double* ai = &a[size_t(i) * p_];
                const double* aj = &a[size_t(j) * p_];
                for (int k = 0; k < j; ++k) v -= ai[k] * aj[k];
                a[size_t(i) * p_ + j] = v / d;
            }
        }
        std::vector<std::vector<double>> out(r_, std::vector<double>(p_));
        for (int c = 0; c < r_; ++c) {
            std::vector<double>& x = out[c];
            for (int i = 0; i < p_; ++i) x[i] = atb_[size_t(i) * r_ + c] * s[i];
            for (int i = 0; i < p_; ++i) {
                double v = x[i];
                for (int k = 0; k < i; ++k) v -= a[size_t(i) * p_ + k] * x[k];
                x[i] = v / a[size_t(i) * p_ + i];
            }
            for (int i = p_ - 1; i >= 0; --i) {
                double v = x[i];
                for (int k = i + 1; k < p_; ++k) v -= a[size_t(k) * p_ + i] * x[k];
                x[i] = v / a[size_t(i) * p_ + i];
            }
            for (int i = 0; i < p_; ++i) x[i] *= s[i];
        }
        return out;
    }

private:
    static constexpr int kBlock = 64;
    void flush() {
        if (rows_ == 0) return;
        const int w = p_ + r_;
        // Row i of [A^T A | A^T b] gains sum_k B[k][i] * B[k][i..]; the inner
        // loop is an axpy over contiguous memory.
        std::vector<double> acc(w);
        for (int i = 0; i < p_; ++i) {
            std::fill(acc.begin() + i, acc.end(), 0.0);
            for (int k = 0; k < rows_; ++k) {
                const double* bk = &block_[size_t(k) * w];
                const double a = bk[i];
                if (a == 0) continue;
                for (int j = i; j < w; ++j) acc[j] += a * bk[j];
            }
            for (int j = i; j < p_; ++j) ata_[size_t(i) * p_ + j] += acc[j];
            for (int j = p_; j < w; ++j) atb_[size_t(i) * r_ + (j - p_)] += acc[j];
        }
        block_.clear();
        rows_ = 0;
    }
    int p_, r_;
    int rows_ = 0;
    std::vector<double> ata_, atb_, block_;
};

// Observations at one sample instant, in fitting units.
enum Coordinate { kMoonLon, kMoonLat, kMoonDist, kSunLon, kSunLat, kSunDist, kCoordinates };

struct Samples {
    std::vector<double> tau;
    std::vector<std::array<double, kCoordinates>> y;
};

// Angles of all arguments of a design at tau, radians.
void argumentAngles(const ExtensionModel& model, const ExtensionModel::Design& design, double tau,
                    std::vector<double>& angles) {
    double phi[ExtensionModel::kFundamentals];
    for (int k = 0; k < ExtensionModel::kFundamentals; ++k) {
        const double* c = model.fundamental[k];
        phi[k] = (c[0] + tau * (c[1] + tau * c[2])) * kDegToRad;
    }
    angles.resize(design.arguments.size());
    for (size_t i = 0; i < design.arguments.size(); ++i) {
        double a = 0;
        const auto& m = design.arguments[i].multipliers;
        for (int k = 0; k < ExtensionModel::kFundamentals; ++k)
            if (m[k] != 0) a += m[k] * phi[k];
        angles[i] = a;
    }
}

double seriesValue(const FittedSeries& s, double tau, const std::vector<double>& angles) {
    double v = 0;
    for (size_t k = s.polynomial.size(); k-- > 0;) v = v * tau + s.polynomial[k];
    for (size_t i = 0; i < angles.size(); ++i)
        v += (s.sinAmp[i] + s.sinRate[i] * tau) * std::sin(angles[i]) + (s.cosAmp[i] + s.cosRate[i] * tau) * std::cos(angles[i]);
    return v;
}

// Fits coordinates `coords` (sharing one design) to the samples taken every
// `stride`. With `refine` non-empty and `previous` given, also solves for
// linear and quadratic corrections of those fundamental arguments' angles
// (Gauss-Newton, linearised about `previous`) and applies them to the model.
// Columns: tau^k, then per argument sin, cos and, if secular, tau sin, tau cos.
std::optional<std::vector<FittedSeries>> fitCoordinates(ExtensionModel& model, const ExtensionModel::Design& design,
                                                        int degree, const Samples& samples, int stride,
                                                        const std::vector<int>& coords,
                                                        const std::vector<int>& refine,
                                                        const FittedSeries* previous) {
    const int nArg = int(design.arguments.size());
    std::vector<int> column(nArg);
    int nLin = degree + 1;
    for (int i = 0; i < nArg; ++i) {
        column[i] = nLin;
        nLin += design.arguments[i].secular ? 4 : 2;
    }
    const int nRef = previous ? 2 * int(refine.size()) : 0;
    const int p = nLin + nRef;
    const int r = int(coords.size());
    NormalEquations ne(p, r);
    std::vector<double> row(p), y(r), angles, sn(nArg), cs(nArg);
    for (size_t n = 0; n < samples.tau.size(); n += stride) {
        double tau = samples.tau[n];
        argumentAngles(model, design, tau, angles);
        double tk = 1;
        for (int k = 0; k <= degree; ++k, tk *= tau) row[k] = tk;
        for (int i = 0; i < nArg; ++i) {
            sn[i] = std::sin(angles[i]);
            cs[i] = std::cos(angles[i]);
            double* c = &row[column[i]];
            c[0] = sn[i];
            c[1] = cs[i];
            if (design.arguments[i].secular) {
                c[2] = tau * sn[i];
                c[3] = tau * cs[i];
            }
        }
        for (size_t q = 0; q < refine.size() && previous; ++q) {
            int f = refine[q];
            double g = 0;
            for (int i = 0; i < nArg; ++i) {
                int m = design.arguments[i].multipliers[f];
                if (m == 0) continue;
                double a = previous->sinAmp[i] + previous->sinRate[i] * tau;
                double b = previous->cosAmp[i] + previous->cosRate[i] * tau;
                g += m * (a * cs[i] - b * sn[i]);
            }
            row[nLin + 2 * q] = g * tau;
            row[nLin + 2 * q + 1] = g * tau * tau;
        }
        for (int c = 0; c < r; ++c) y[c] = samples.y[n][coords[c]];
        ne.add(row.data(), y.data());
    }
    auto sol = ne.solve();
    if (!sol) return std::nullopt;
    std::vector<FittedSeries> out(r);
    for (int c = 0; c < r; ++c) {
        const auto& x = (*sol)[c];
        FittedSeries& fs = out[c];
        fs.polynomial.assign(x.begin(), x.begin() + degree + 1);
        fs.sinAmp.assign(nArg, 0.0);
        fs.cosAmp.assign(nArg, 0.0);
        fs.sinRate.assign(nArg, 0.0);
        fs.cosRate.assign(nArg, 0.0);
        for (int i = 0; i < nArg; ++i) {
            fs.sinAmp[i] = x[column[i]];
            fs.cosAmp[i] = x[column[i] + 1];
            if (design.arguments[i].secular) {
                fs.sinRate[i] = x[column[i] + 2];
                fs.cosRate[i] = x[column[i] + 3];
            }
        }
    }
    if (nRef > 0) {
        const auto& x = (*sol)[0];
        for (size_t q = 0; q < refine.size(); ++q) {
            model.fundamental[refine[q]][1] += x[nLin + 2 * q] / kDegToRad;
            model.fundamental[refine[q]][2] += x[nLin + 2 * q + 1] / kDegToRad;
        }
    }
    return out;
}

double quadratic(const double c[3], double tau) { return c[0] + tau * (c[1] + tau * c[2]); }

}  // namespace

std::optional<ExtensionModel> ExtensionModel::fit(const PlaceSource& source, double startJd, double endJd,
                                                  const FitSettings& settings) {
    if (!(endJd > startJd) || !(settings.sampleStepDays > 0)) return std::nullopt;
    ExtensionModel model;
    model.centerJd_ = 0.5 * (startJd + endJd);
    model.halfWidthDays_ = 0.5 * (endJd - startJd);
    const double tc = (model.centerJd_ - kJ2000) / kDaysPerCentury;
    const double h = model.halfWidthDays_ / kDaysPerCentury;
    for (int k = 0; k < kFundamentals; ++k) taylor(kStandard[k], tc, h, model.fundamental[k]);
    for (int i = 0; i < 3; ++i) {
        model.sunMeanLon_[i] = model.fundamental[kLs][i];
        model.moonMeanLon_[i] = model.fundamental[kD][i] + model.fundamental[kLs][i];
    }

    // Samples over the window.
    Samples samples;
    const long count = long(std::floor((endJd - startJd) / settings.sampleStepDays)) + 1;
    if (count < 1000 || count > 2000000) return std::nullopt;
    samples.tau.reserve(count);
    samples.y.reserve(count);
    for (long n = 0; n < count; ++n) {
        double jd = startJd + n * settings.sampleStepDays;
        auto places = source(jd);
        if (!places) return std::nullopt;
        double tau = (jd - model.centerJd_) / model.halfWidthDays_;
        std::array<double, kCoordinates> y{};
        y[kMoonLon] = angleDiffDeg(places->moon.longitudeDeg, quadratic(model.moonMeanLon_, tau)) * 3600;
        y[kMoonLat] = places->moon.latitudeDeg * 3600;
        y[kMoonDist] = places->moon.distanceAu * kAuKm;
        y[kSunLon] = angleDiffDeg(places->sun.longitudeDeg, quadratic(model.sunMeanLon_, tau)) * 3600;
        y[kSunLat] = places->sun.latitudeDeg * 3600;
        y[kSunDist] = places->sun.distanceAu * kAuKm;
        samples.tau.push_back(tau);
        samples.y.push_back(y);
    }

    // Rates of the arguments, on a reduced design and every third sample.
    const Design evenSmall = moonEvenDesign(3), oddSmall = moonOddDesign(3), sunFull = sunDesign();
    const int md = settings.moonPolynomialDegree, sd = settings.sunPolynomialDegree;
    std::optional<FittedSeries> sunLon, moonLon, moonLat;
    for (int it = 0; it <= settings.rateIterations; ++it) {
        auto s = fitCoordinates(model, sunFull, sd, samples, 3, {kSunLon}, {kM}, sunLon ? &*sunLon : nullptr);
        auto ml = fitCoordinates(model, evenSmall, md, samples, 3, {kMoonLon}, {kD, kMp}, moonLon ? &*moonLon : nullptr);
        auto mb = fitCoordinates(model, oddSmall, md, samples, 3, {kMoonLat}, {kF}, moonLat ? &*moonLat : nullptr);
        if (!s || !ml || !mb) return std::nullopt;
        sunLon = (*s)[0];
        moonLon = (*ml)[0];
        moonLat = (*mb)[0];
    }

    // Final fit of all six coordinates on the full designs and all samples.
    model.moonEven_ = moonEvenDesign(7);
    model.moonOdd_ = moonOddDesign(7);
    model.sun_ = sunFull;
    auto even = fitCoordinates(model, model.moonEven_, md, samples, 1, {kMoonLon, kMoonDist}, {}, nullptr);
    auto odd = fitCoordinates(model, model.moonOdd_, md, samples, 1, {kMoonLat}, {}, nullptr);
    auto sun = fitCoordinates(model, model.sun_, sd, samples, 1, {kSunLon, kSunLat, kSunDist}, {}, nullptr);
    if (!even || !odd || !sun) return std::nullopt;
    model.moonLon_ = (*even)[0];
    model.moonDist_ = (*even)[1];
    model.moonLat_ = (*odd)[0];
    model.sunLon_ = (*sun)[0];
    model.sunLat_ = (*sun)[1];
    model.sunDist_ = (*sun)[2];

    // Residuals over the window.
    FitStatistics& st = model.stats_;
    double sums[kCoordinates] = {};
    double maxes[kCoordinates] = {};
    std::vector<double> ae, ao, as;
    for (size_t n = 0; n < samples.tau.size(); ++n) {
        double tau = samples.tau[n];
        argumentAngles(model, model.moonEven_, tau, ae);
        argumentAngles(model, model.moonOdd_, tau, ao);
        argumentAngles(model, model.sun_, tau, as);
        double v[kCoordinates] = {seriesValue(model.moonLon_, tau, ae), seriesValue(model.moonLat_, tau, ao),
                                  seriesValue(model.moonDist_, tau, ae), seriesValue(model.sunLon_, tau, as),
                                  seriesValue(model.sunLat_, tau, as), seriesValue(model.sunDist_, tau, as)};
        for (int c = 0; c < kCoordinates; ++c) {
            double d = std::fabs(v[c] - samples.y[n][c]);
            sums[c] += d * d;
            maxes[c] = std::max(maxes[c], d);
        }
    }
    const double nS = double(samples.tau.size());
    st.samples = int(samples.tau.size());
    st.moonLonRmsArcsec = std::sqrt(sums[kMoonLon] / nS), st.moonLonMaxArcsec = maxes[kMoonLon];
    st.moonLatRmsArcsec = std::sqrt(sums[kMoonLat] / nS), st.moonLatMaxArcsec = maxes[kMoonLat];
    st.moonDistRmsKm = std::sqrt(sums[kMoonDist] / nS), st.moonDistMaxKm = maxes[kMoonDist];
    st.sunLonRmsArcsec = std::sqrt(sums[kSunLon] / nS), st.sunLonMaxArcsec = maxes[kSunLon];
    st.sunLatRmsArcsec = std::sqrt(sums[kSunLat] / nS), st.sunLatMaxArcsec = maxes[kSunLat];
    st.sunDistRmsKm = std::sqrt(sums[kSunDist] / nS), st.sunDistMaxKm = maxes[kSunDist];
    return model;
}

SunMoonPlaces ExtensionModel::evaluate(double jdTT) const {
    const double tau = (jdTT - centerJd_) / halfWidthDays_;
    std::vector<double> ae, ao, as;
    argumentAngles(*this, moonEven_, tau, ae);
    argumentAngles(*this, moonOdd_, tau, ao);
    argumentAngles(*this, sun_, tau, as);
    SunMoonPlaces p;
    p.moon.longitudeDeg = std::fmod(quadratic(moonMeanLon_, tau) + seriesValue(moonLon_, tau, ae) / 3600, 360.0);
    if (p.moon.longitudeDeg < 0) p.moon.longitudeDeg += 360;
    p.moon.latitudeDeg = seriesValue(moonLat_, tau, ao) / 3600;
    p.moon.distanceAu = seriesValue(moonDist_, tau, ae) / kAuKm;
    p.sun.longitudeDeg = std::fmod(quadratic(sunMeanLon_, tau) + seriesValue(sunLon_, tau, as) / 3600, 360.0);
    if (p.sun.longitudeDeg < 0) p.sun.longitudeDeg += 360;
    p.sun.latitudeDeg = seriesValue(sunLat_, tau, as) / 3600;
    p.sun.distanceAu = seriesValue(sunDist_, tau, as) / kAuKm;
    return p;
}

}  // namespace tarvo::extension

namespace tarvo::extension {
namespace {

void putSeries(std::ostringstream& out, const char* name, const FittedSeries& s) {
    char buf[160];
    out << "series " << name << ' ' << s.polynomial.size() << ' ' << s.sinAmp.size() << '\n';
    for (double c : s.polynomial) {
        std::snprintf(buf, sizeof buf, "%a\n", c);
        out << buf;
    }
    for (size_t i = 0; i < s.sinAmp.size(); ++i) {
        std::snprintf(buf, sizeof buf, "%a %a %a %a\n", s.sinAmp[i], s.cosAmp[i], s.sinRate[i], s.cosRate[i]);
        out << buf;
    }
}

void putDesign(std::ostringstream& out, const char* name, const ExtensionModel::Design& d) {
    out << "design " << name << ' ' << d.arguments.size() << '\n';
    for (const auto& a : d.arguments) {
        for (int m : a.multipliers) out << m << ' ';
        out << (a.secular ? 1 : 0) << '\n';
    }
}

// Bounded token reader over the text; every read reports failure.
class Tokens {
public:
    explicit Tokens(std::string_view text) : text_(text) {}
    bool word(std::string& w) {
        while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
        size_t start = pos_;
        while (pos_ < text_.size() && !std::isspace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
        if (pos_ == start || pos_ - start > 64) return false;
        w.assign(text_.substr(start, pos_ - start));
        return true;
    }
    bool expect(std::string_view w) {
        std::string t;
        return word(t) && t == w;
    }
    bool number(double& v) {
        std::string t;
        if (!word(t)) return false;
        char* end = nullptr;
        v = std::strtod(t.c_str(), &end);
        return end == t.c_str() + t.size() && std::isfinite(v);
    }
    bool integer(long& v, long lo, long hi) {
        double d;
        if (!number(d) || d != std::floor(d) || d < lo || d > hi) return false;
        v = long(d);
        return true;
    }

private:
    std::string_view text_;
    size_t pos_ = 0;
};

constexpr long kMaxArguments = 5000;

bool getDesign(Tokens& t, const char* name, ExtensionModel::Design& d) {
    long n;
    if (!t.expect("design") || !t.expect(name) || !t.integer(n, 0, kMaxArguments)) return false;
    d.arguments.assign(n, {});
    for (auto& a : d.arguments) {
        a.multipliers.assign(ExtensionModel::kFundamentals, 0);
        for (int& m : a.multipliers) {
            long v;
            if (!t.integer(v, -100, 100)) return false;
            m = int(v);
        }
        long s;
        if (!t.integer(s, 0, 1)) return false;
        a.secular = s == 1;
    }
    return true;
}

bool getSeries(Tokens& t, const char* name, size_t arguments, FittedSeries& s) {
    long np, na;
    if (!t.expect("series") || !t.expect(name) || !t.integer(np, 1, 10) || !t.integer(na, 0, kMaxArguments) ||
        size_t(na) != arguments)
        return false;
    s.polynomial.assign(np, 0.0);
    for (double& c : s.polynomial)
        if (!t.number(c)) return false;
    s.sinAmp.assign(na, 0.0);
    s.cosAmp.assign(na, 0.0);
    s.sinRate.assign(na, 0.0);
    s.cosRate.assign(na, 0.0);
    for (long i = 0; i < na; ++i)
        if (!t.number(s.sinAmp[i]) || !t.number(s.cosAmp[i]) || !t.number(s.sinRate[i]) || !t.number(s.cosRate[i]))
            return false;
    return true;
}

}  // namespace

std::string ExtensionModel::serialize() const {
    std::ostringstream out;
    char buf[160];
    out << "tarvo-extension-model 1\n";
    std::snprintf(buf, sizeof buf, "window %a %a\n", centerJd_, halfWidthDays_);
    out << buf;
    out << "fundamental\n";
    for (const auto& f : fundamental) {
        std::snprintf(buf, sizeof buf, "%a %a %a\n", f[0], f[1], f[2]);
        out << buf;
    }
    std::snprintf(buf, sizeof buf, "meanlon %a %a %a %a %a %a\n", moonMeanLon_[0], moonMeanLon_[1], moonMeanLon_[2],
                  sunMeanLon_[0], sunMeanLon_[1], sunMeanLon_[2]);
    out << buf;
    putDesign(out, "moonEven", moonEven_);
    putDesign(out, "moonOdd", moonOdd_);
    putDesign(out, "sun", sun_);
    putSeries(out, "moonLon", moonLon_);
    putSeries(out, "moonLat", moonLat_);
    putSeries(out, "moonDist", moonDist_);
    putSeries(out, "sunLon", sunLon_);
    putSeries(out, "sunLat", sunLat_);
    putSeries(out, "sunDist", sunDist_);
    out << "end\n";
    return out.str();
}

std::optional<ExtensionModel> ExtensionModel::parse(std::string_view text) {
    Tokens t(text);
    ExtensionModel m;
    if (!t.expect("tarvo-extension-model") || !t.expect("1") || !t.expect("window") || !t.number(m.centerJd_) ||
        !t.number(m.halfWidthDays_) || !(m.halfWidthDays_ > 0) || !t.expect("fundamental"))
        return std::nullopt;
    for (auto& f : m.fundamental)
        for (double& c : f)
            if (!t.number(c)) return std::nullopt;
    if (!t.expect("meanlon")) return std::nullopt;
    for (double* c : {&m.moonMeanLon_[0], &m.moonMeanLon_[1], &m.moonMeanLon_[2], &m.sunMeanLon_[0],
                      &m.sunMeanLon_[1], &m.sunMeanLon_[2]})
        if (!t.number(*c)) return std::nullopt;
    if (!getDesign(t, "moonEven", m.moonEven_) || !getDesign(t, "moonOdd", m.moonOdd_) || !getDesign(t, "sun", m.sun_))
        return std::nullopt;
    if (!getSeries(t, "moonLon", m.moonEven_.arguments.size(), m.moonLon_) ||
        !getSeries(t, "moonLat", m.moonOdd_.arguments.size(), m.moonLat_) ||
        !getSeries(t, "moonDist", m.moonEven_.arguments.size(), m.moonDist_) ||
        !getSeries(t, "sunLon", m.sun_.arguments.size(), m.sunLon_) ||
        !getSeries(t, "sunLat", m.sun_.arguments.size(), m.sunLat_) ||
        !getSeries(t, "sunDist", m.sun_.arguments.size(), m.sunDist_) || !t.expect("end"))
        return std::nullopt;
    return m;
}

}  // namespace tarvo::extension
