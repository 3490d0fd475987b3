// Extension of the Sun and the Moon beyond the ephemeris files' span.
//
// A local semi-analytic model, fitted by least squares to positions read from
// the files over a window of a few centuries next to the gap, and then
// evaluated (extrapolated) into the gap. Each coordinate is a polynomial in
// time plus sine and cosine terms whose arguments are integer combinations of
// the Delaunay arguments D, M, M', F, the Sun's mean longitude and the mean
// longitudes of Venus, Mars, Jupiter and Saturn. The rates of D, M, M' and F
// are themselves re-fitted to the window (Gauss-Newton), since the standard
// polynomials of these arguments are not meant for dates 14,000 years away.
//
// Frame of the fitted coordinates: geocentric, apparent (light time and
// aberration included, as the files' reader gives them), ecliptic and mean
// equinox of date, i.e. apparent ecliptic longitude minus the nutation in
// longitude. Nutation and obliquity are added back by the caller, with the
// same analytic models the library uses inside the files' span.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo::extension {

// Ecliptic place of one body: degrees, degrees, astronomical units.
struct EclipticPlace {
    double longitudeDeg = 0;
    double latitudeDeg = 0;
    double distanceAu = 0;
};

// The Sun and the Moon at one instant (TT), in the fitted frame above.
struct SunMoonPlaces {
    EclipticPlace sun;
    EclipticPlace moon;
};

// Reads the places from the ephemeris files at a TT Julian Day; nullopt
// where the files do not reach.
using PlaceSource = std::function<std::optional<SunMoonPlaces>(double jdTT)>;

struct FitSettings {
    double sampleStepDays = 1.37;    // irregular w.r.t. the day; below half the shortest period fitted
    int moonPolynomialDegree = 2;    // of the longitude residual from the mean longitude, latitude, distance
    int sunPolynomialDegree = 2;
    int rateIterations = 3;          // Gauss-Newton passes over the argument rates
};

// One fitted coordinate: polynomial + periodic terms over an argument list.
struct FittedSeries {
    std::vector<double> polynomial;  // coefficients of tau^k
    std::vector<double> sinAmp;      // per argument of the design
    std::vector<double> cosAmp;
    std::vector<double> sinRate;     // change of the amplitudes per unit tau (secular arguments only)
    std::vector<double> cosRate;
};

// Summary of the fit over its own window (residual RMS and worst).
struct FitStatistics {
    int samples = 0;
    double moonLonRmsArcsec = 0, moonLonMaxArcsec = 0;
    double moonLatRmsArcsec = 0, moonLatMaxArcsec = 0;
    double moonDistRmsKm = 0, moonDistMaxKm = 0;
    double sunLonRmsArcsec = 0, sunLonMaxArcsec = 0;
    double sunLatRmsArcsec = 0, sunLatMaxArcsec = 0;
    double sunDistRmsKm = 0, sunDistMaxKm = 0;
};

class ExtensionModel {
public:
    // Fits the model to the source over [startJd, endJd] (TT). nullopt if the
    // source fails inside the window or the normal equations are singular.
    static std::optional<ExtensionModel> fit(const PlaceSource& source, double startJd,
                                             double endJd, const FitSettings& settings = {});

    // Places at a TT Julian Day (any date; meant for up to a few centuries
    // beyond the window).
    SunMoonPlaces evaluate(double jdTT) const;

    const FitStatistics& statistics() const { return stats_; }
    double windowStartJd() const { return centerJd_ - halfWidthDays_; }
    double windowEndJd() const { return centerJd_ + halfWidthDays_; }

    // Plain-text form (hex floats, so that a reload is exact).
    std::string serialize() const;
    static std::optional<ExtensionModel> parse(std::string_view text);

    // Internal state, public for the fitting code in the .cpp only.
    struct Argument {
        std::vector<int> multipliers;  // over the fundamental arguments
        bool secular = false;          // amplitude linear in time (e.g. follows the Earth's eccentricity)
    };
    struct Design {
        std::vector<Argument> arguments;
    };
    // Fundamental arguments as local polynomials in tau, degrees.
    static constexpr int kFundamentals = 10;
    double fundamental[kFundamentals][3] = {};
    double centerJd_ = 0;
    double halfWidthDays_ = 1;
    double moonMeanLon_[3] = {};  // reference mean longitudes, degrees, quadratic in tau
    double sunMeanLon_[3] = {};
    Design moonEven_, moonOdd_, sun_;
    FittedSeries moonLon_, moonLat_, moonDist_, sunLon_, sunLat_, sunDist_;
    FitStatistics stats_;
};

}  // namespace tarvo::extension
