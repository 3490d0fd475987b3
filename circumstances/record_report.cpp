#include "circumstances/record_report.h"

#include <cmath>

#include "base/text_format.h"

namespace tarvo {

namespace {

// Seconds as the result gives them: whole, never "-0".
std::string seconds(double s) {
  double v = std::round(s);
  if (v == 0) v = 0;
  return formatString("%.0f", v);
}

// Model values keep a decimal: σ is 0.05 s today.
std::string modelSeconds(double s) { return formatString("%.2f", s); }

double zOf(const RecordContext& c, double deltaT) {
  return c.search.sigmaSeconds > 0 ? (deltaT - c.search.modelSeconds) / c.search.sigmaSeconds : HUGE_VAL;
}

std::string number(double v, const char* format) {
  if (!std::isfinite(v)) return "none";
  std::string s = formatString(format, v);
  if (s == "-0" || s.find_first_not_of("-0.") == std::string::npos) s = formatString(format, 0.0);
  return s;
}

std::string rangeWords(const DeltaTInterval& i) {
  if (i.fromBounded && i.toBounded) return "from " + seconds(i.fromSeconds) + " s to " + seconds(i.toSeconds) + " s";
  if (i.fromBounded) return "from " + seconds(i.fromSeconds) + " s up (no upper bound within the search)";
  if (i.toBounded) return "up to " + seconds(i.toSeconds) + " s (no lower bound within the search)";
  return "throughout the search";
}

std::string joined(const std::vector<std::string>& parts, const std::string& between, const std::string& last) {
  std::string s;
  for (std::size_t i = 0; i < parts.size(); ++i)
    s += (i == 0 ? "" : (i + 1 == parts.size() ? last : between)) + parts[i];
  return s;
}

std::string answerWords(bool equality, const std::vector<double>& solutions, const std::vector<DeltaTInterval>& holds) {
  if (equality) {
    if (solutions.empty()) return "no ΔT within the search makes it hold";
    std::vector<std::string> parts;
    for (double s : solutions) parts.push_back(seconds(s) + " s");
    return (solutions.size() == 1 ? "holds at ΔT = " : formatString("holds at %zu values of ΔT: ", solutions.size())) +
           joined(parts, ", ", " and ");
  }
  if (holds.empty()) return "holds at no ΔT within the search";
  std::vector<std::string> parts;
  for (const DeltaTInterval& i : holds) parts.push_back(rangeWords(i));
  return "holds for ΔT " + joined(parts, ", ", " and ");
}

std::string jsonNumbers(const std::vector<double>& v, const char* format) {
  std::string s = "[";
  for (std::size_t i = 0; i < v.size(); ++i) {
    const std::string n = number(v[i], format);
    s += (i ? "," : "") + (n == "none" ? std::string("null") : n);
  }
  return s + "]";
}

std::string jsonRanges(const std::vector<DeltaTInterval>& holds) {
  std::string s = "[";
  for (std::size_t i = 0; i < holds.size(); ++i) {
    s += std::string(i ? "," : "") + "{\"deltat_min\":" +
         (holds[i].fromBounded ? seconds(holds[i].fromSeconds) : std::string("null")) +
         ",\"deltat_max\":" + (holds[i].toBounded ? seconds(holds[i].toSeconds) : std::string("null")) + "}";
  }
  return s + "]";
}

}  // namespace

std::string recordText(const RecordContext& c, const std::vector<Statement>& statements, const RecordResult& r) {
  std::string t = "Eclipse: " + c.eclipseText + "\n";
  t += "Site: " + c.siteText + "\n";
  t += "ΔT model " + c.modelName + ": " + modelSeconds(c.search.modelSeconds) + " s, σ " +
       modelSeconds(c.search.sigmaSeconds) + " s; searched " + seconds(c.search.fromSeconds()) + " s to " +
       seconds(c.search.toSeconds()) + " s\n";
  for (std::size_t i = 0; i < statements.size(); ++i) {
    const Statement& s = statements[i];
    t += formatString("%zu. \"%s\": ", i + 1, s.text.c_str()) + statementMeaning(s) + "\n   " +
         answerWords(s.isEquality(), r.each[i].solutionsSeconds, r.each[i].holds) + "\n";
  }
  if (statements.size() > 1) {
    t += "Together: " + answerWords(r.anyEquality, r.solutionsSeconds, r.holds) + "\n";
  }
  if (r.anyEquality) {
    if (r.solutionsSeconds.size() > 1) t += "More than one ΔT fits: the record alone cannot choose.\n";
    for (std::size_t i = 0; i < r.solutionsSeconds.size(); ++i) {
      const double dT = r.solutionsSeconds[i];
      t += "ΔT " + seconds(dT) + " s is " + seconds(dT - c.search.modelSeconds) + " s from the model, z = " +
           number(zOf(c, dT), "%.2f") + " σ; " + number(r.sensitivitySecondsPerMinute[i], "%.1f") +
           " s of ΔT per minute of error in the recorded interval\n";
    }
  }
  return t;
}

std::string recordKeys(const RecordContext& c, const RecordResult& r) {
  std::string k;
  if (r.anyEquality) {
    for (double s : r.solutionsSeconds) k += "deltat " + seconds(s) + "\n";
    if (r.solutionsSeconds.empty()) k += "deltat none\n";
  } else {
    for (const DeltaTInterval& i : r.holds) {
      if (i.fromBounded) k += "deltat_min " + seconds(i.fromSeconds) + "\n";
      if (i.toBounded) k += "deltat_max " + seconds(i.toSeconds) + "\n";
    }
    if (r.holds.empty()) k += "deltat none\n";
  }
  k += "model_deltat " + modelSeconds(c.search.modelSeconds) + "\n";
  k += "model_sigma " + modelSeconds(c.search.sigmaSeconds) + "\n";
  for (double s : r.solutionsSeconds) k += "z " + number(zOf(c, s), "%.2f") + "\n";
  for (double s : r.sensitivitySecondsPerMinute) k += "sensitivity " + number(s, "%.1f") + "\n";
  return k;
}

std::string recordJson(const RecordContext& c, const std::vector<Statement>& statements, const RecordResult& r) {
  std::string j = "{\"eclipse\":" + jsonString(c.eclipseText) + ",\"site\":" + jsonString(c.siteText) +
                  ",\"deltat_model\":" + jsonString(c.modelName) + ",\"statements\":[";
  for (std::size_t i = 0; i < statements.size(); ++i) {
    j += std::string(i ? "," : "") + "{\"statement\":" + jsonString(statements[i].text) +
         ",\"meaning\":" + jsonString(statementMeaning(statements[i]));
    if (statements[i].isEquality()) {
      j += ",\"deltat\":" + jsonNumbers(r.each[i].solutionsSeconds, "%.0f") +
           ",\"sensitivity\":" + jsonNumbers(r.each[i].sensitivitySecondsPerMinute, "%.1f") + "}";
    } else {
      j += ",\"holds\":" + jsonRanges(r.each[i].holds) + "}";
    }
  }
  j += "]";
  if (r.anyEquality) {
    std::vector<double> z;
    for (double s : r.solutionsSeconds) z.push_back(zOf(c, s));
    j += ",\"deltat\":" + jsonNumbers(r.solutionsSeconds, "%.0f") + ",\"z\":" + jsonNumbers(z, "%.2f") +
         ",\"sensitivity\":" + jsonNumbers(r.sensitivitySecondsPerMinute, "%.1f");
  } else {
    j += ",\"holds\":" + jsonRanges(r.holds);
  }
  j += ",\"model_deltat\":" + modelSeconds(c.search.modelSeconds) +
       ",\"model_sigma\":" + modelSeconds(c.search.sigmaSeconds) + "}";
  return j;
}

std::string recordCsvResult(const RecordContext& c, const RecordResult& r) {
  const auto list = [](const std::vector<std::string>& v) { return joined(v, ";", ";"); };
  std::vector<std::string> deltaT, mins, maxs, z, sens;
  for (double s : r.solutionsSeconds) {
    deltaT.push_back(seconds(s));
    z.push_back(number(zOf(c, s), "%.2f"));
  }
  for (double s : r.sensitivitySecondsPerMinute) sens.push_back(number(s, "%.1f"));
  if (!r.anyEquality) {
    for (const DeltaTInterval& i : r.holds) {
      mins.push_back(i.fromBounded ? seconds(i.fromSeconds) : "");
      maxs.push_back(i.toBounded ? seconds(i.toSeconds) : "");
    }
  }
  return list(deltaT) + "," + list(mins) + "," + list(maxs) + "," + modelSeconds(c.search.modelSeconds) + "," +
         modelSeconds(c.search.sigmaSeconds) + "," + list(z) + "," + list(sens);
}

std::string jsonString(const std::string& s) {
  std::string out = "\"";
  for (const char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      out += formatString("\\u%04x", c);
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string csvField(const std::string& s) {
  if (s.find_first_of(",\"\r\n") == std::string::npos) return s;
  std::string out = "\"";
  for (const char ch : s) out += ch == '"' ? std::string("\"\"") : std::string(1, ch);
  return out + "\"";
}

}  // namespace tarvo
