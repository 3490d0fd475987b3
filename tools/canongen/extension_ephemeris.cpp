#include "tools/canongen/extension_ephemeris.h"

#include <cmath>
#include <fstream>
#include <sstream>

#include "tools/canongen/extension_source.h"
#include "tools/canongen/swiss_ephemeris.h"

namespace tarvo::canongen {
namespace {

constexpr double kKmPerAu = 149597870.700;

class ExtendedEphemeris final : public Ephemeris {
 public:
  ExtendedEphemeris(const ExtensionModels& models, double firstFileJd, double lastFileJd)
      : models_(models), firstFileJd_(firstFileJd), lastFileJd_(lastFileJd) {}

  bool covers(double jdTT) const override {
    if (jdTT >= firstFileJd_ && jdTT <= lastFileJd_) return true;
    return modelFor(jdTT) != nullptr;
  }

  std::optional<EphemerisSample> sun(double jdTT) override {
    if (inFiles(jdTT)) return files_.sun(jdTT);
    if (!evaluate(jdTT)) return std::nullopt;
    return cachedSun_;
  }

  std::optional<EphemerisSample> moon(double jdTT) override {
    if (inFiles(jdTT)) return files_.moon(jdTT);
    if (!evaluate(jdTT)) return std::nullopt;
    return cachedMoon_;
  }

  // The library's sidereal time is analytic and needs no files.
  std::optional<double> siderealDeg(double jdClock) override { return files_.siderealDeg(jdClock); }

 private:
  bool inFiles(double jdTT) const { return jdTT >= firstFileJd_ && jdTT <= lastFileJd_; }

  const extension::ExtensionModel* modelFor(double jdTT) const {
    if (jdTT < firstFileJd_ && jdTT >= models_.beforeLimitJd && models_.before) return models_.before.get();
    if (jdTT > lastFileJd_ && jdTT <= models_.afterLimitJd && models_.after) return models_.after.get();
    return nullptr;
  }

  // The Sun and the Moon come from one evaluation; keep it for the other body.
  bool evaluate(double jdTT) {
    if (hasCache_ && cachedJd_ == jdTT) return true;
    const extension::ExtensionModel* model = modelFor(jdTT);
    if (!model) return false;
    const extension::SunMoonPlaces p = model->evaluate(jdTT);
    cachedSun_ = toSample(extension::toApparentEquatorial(p.sun, jdTT));
    cachedMoon_ = toSample(extension::toApparentEquatorial(p.moon, jdTT));
    cachedJd_ = jdTT;
    hasCache_ = true;
    return true;
  }

  static EphemerisSample toSample(const extension::ApparentEquatorial& e) {
    double ra = std::fmod(e.raDeg, 360.0);
    if (ra < 0) ra += 360.0;
    return {ra, e.decDeg, e.distanceAu * kKmPerAu};
  }

  ExtensionModels models_;
  double firstFileJd_, lastFileJd_;
  SwissEphemeris files_;
  bool hasCache_ = false;
  double cachedJd_ = 0;
  EphemerisSample cachedSun_{}, cachedMoon_{};
};

}  // namespace

std::optional<ExtensionModels> loadExtensionModels(const std::filesystem::path& file, std::string& error) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    error = "cannot read " + file.string();
    return std::nullopt;
  }
  std::ostringstream buffer;
  buffer << in.rdbuf();
  const std::string text = buffer.str();
  const std::string beforeTag = "model before\n", afterTag = "model after\n";
  const size_t b = text.find(beforeTag), a = text.find(afterTag);
  if (b == std::string::npos || a == std::string::npos || a < b) {
    error = file.string() + ": no \"model before\" and \"model after\" sections";
    return std::nullopt;
  }
  auto before = extension::ExtensionModel::parse(
      std::string_view(text).substr(b + beforeTag.size(), a - b - beforeTag.size()));
  auto after = extension::ExtensionModel::parse(std::string_view(text).substr(a + afterTag.size()));
  if (!before || !after) {
    error = file.string() + ": malformed model";
    return std::nullopt;
  }
  ExtensionModels models;
  models.before = std::make_shared<const extension::ExtensionModel>(std::move(*before));
  models.after = std::make_shared<const extension::ExtensionModel>(std::move(*after));
  models.beforeLimitJd = kExtensionFirstJd;
  models.afterLimitJd = kExtensionLastJd;
  return models;
}

std::string formatExtensionModels(const extension::ExtensionModel& before, const extension::ExtensionModel& after) {
  return "model before\n" + before.serialize() + "model after\n" + after.serialize();
}

std::unique_ptr<Ephemeris> makeExtendedEphemeris(const ExtensionModels& models) {
  return std::make_unique<ExtendedEphemeris>(models, kSwissFirstJd, kSwissLastJd);
}

std::unique_ptr<Ephemeris> makeSplitEphemeris(const ExtensionModels& models, double firstFileJd, double lastFileJd) {
  return std::make_unique<ExtendedEphemeris>(models, firstFileJd, lastFileJd);
}

}  // namespace tarvo::canongen
