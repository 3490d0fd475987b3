#include "session/search_criteria.h"

#include "session/site_glue.h"

namespace tarvo {

SearchCriteria searchCriteriaOf(const SessionState& s, double sarosWanted) {
  SearchCriteria c;
  c.searchType = s.searchType;
  c.typeCriterion = s.typeCriterion;
  c.magnitudeCriterion = s.magnitudeCriterion;
  c.site = prepareSite(s);
  c.saros = sarosWanted;
  c.deltaT = s.deltaTChoice;
  return c;
}

}  // namespace tarvo
