// The one record of process-wide state. Plain data: the parts of the program
// read and write its fields directly, on the user-interface thread only.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/eclipse_list_entry.h"
#include "catalogue/eclipse_record.h"
#include "circumstances/eclipse_circumstances.h"
#include "circumstances/geometry.h"
#include "circumstances/sites.h"
#include "base/constants.h"
#include "map/map_frame.h"
#include "session/site_choice.h"
#include "timebase/delta_t.h"

namespace tarvo {

// What the next paint does before drawing.
enum PendingAction : int {
  kLandAtCursor = 0,  // position the catalogue at the cursor, step on by the criteria
  kLandAtClock = 1,   // first set the cursor from the clock, then as kLandAtCursor
  kSearchForward = 7  // step forward to the next eclipse meeting the criteria
};

// What the view shows (displayKind).
enum DisplayKind : int { kDisplayWorldMap = 0, kDisplayLocalReport = 2 };
// What a command drew over the paint and is still on show (the next repaint
// replaces it); session files keep it, and a view's first paint draws it again.
enum class DrawnOver : int { Nothing, StarMap, Simulation };
// Whether the map draws the longitude/latitude grid (gridMode).
enum GridMode : int { kGridShown = 0, kGridHidden = 4 };
// The map's outline (outlineChoice): the built-in one or the coastline files.
enum OutlineChoice : int { kOutlineBuiltIn = 1, kOutlineCoastlineFiles = 2 };

// What reading the city list has to tell the person. The list is read when
// the session is made; the session's first paint tells this once.
struct CityListTidings {
  bool missing = false;  // the file could not be read: the two texts are drawn
  std::string notice;    // lines skipped, or why the file was refused
  bool told = false;
};

struct SessionState {
  // Cursor and pending action. Years are astronomical, −13000..16999.
  double year = 0;
  double month = 0;
  int pendingAction = kLandAtClock;
  int restartAfterError = 0;  // −1 after a paint found no catalogue file
  double searchStartYear = 0;

  // The entry last read by any reader call, searches included (UT date).
  EclipseEntry current;

  // Time scale: the model ΔT comes from (saved by name) and the user's
  // adjustment (s, −10000..10000); every read of the catalogue takes it.
  DeltaTChoice deltaTChoice;
  double deltaT = 0;        // s, the choice's ΔT at greatestJd (UT)
  double deltaTSigma = 0;   // s, one standard deviation of ΔT at greatestJd

  // Search criteria.
  int searchType = 0;  // 0 all, 1 by type, 2 by site and magnitude, 3 by Saros
  int typeCriterion = 1;
  int typeChoice = 0;
  double typeLookBackYears = 20;
  double siteLookBackYears = 50;
  double magnitudeCriterion = 0.5;
  double sarosCriterion = 145;

  // Observing site.
  SiteList sites;  // the city list, read when the session is made
  CityListTidings cityListTidings;
  SiteChoice site;  // the first city until the session chooses another
  double siteMoonMagnitude = 0;
  double siteMoonAltitude = 0;  // deg
  double greatestGuessHours = 0;

  // Display choice.
  int displayKind = kDisplayWorldMap;   // DisplayKind
  DrawnOver drawnOver = DrawnOver::Nothing;
  int gridMode = kGridHidden;           // GridMode
  int outlineChoice = kOutlineBuiltIn;  // OutlineChoice
  bool deltaTBandsShown = false;  // the map also draws the zone boundaries at ΔT ± σ, dotted
  // ΔT from a Record: the map also draws the zone boundaries at these ΔT
  // (s), dotted as the bands, until the view changes. Not saved.
  std::vector<double> recordZonesDeltaT;
  // Next Visible Eclipse: the map also draws the observer's answer in words
  // at its foot, until the view changes. Not saved.
  bool nextVisibleWordsShown = false;
  // The local report's Alt. column: false the geometric geocentric altitude,
  // true the altitude an observer at the site sees (topocentric, refracted).
  bool altitudesAsSeen = false;

  // The map of the last paint: laid out for the view's client area, and
  // centred on the current eclipse's meridian when the map was drawn.
  MapFrame mapFrame;

  // Eclipse list.
  std::array<EclipseListEntry, 100> eclipseList{};
  int eclipseListCount = 0;
  int eclipseListPick = 0;
  double listPeriodDefault = 10;

  // The current eclipse's circumstances as the last paint (or the local
  // report's preparation) found them at deltaT; the commands that draw after
  // a paint (simulation, sky chart) and the command line read them.
  EclipseCircumstances circumstances;
  // The moonset or moonrise during the eclipse the local report found, hours
  // from epochHour; none before a report or when there is none.
  std::optional<double> horizonCrossHours;
  struct LocalDate {
    double year = 0, month = 0, day = 0;
  } localEclipseDate;  // local standard date of greatest eclipse, for the sky chart
};

}  // namespace tarvo
