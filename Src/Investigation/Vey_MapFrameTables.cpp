// The map's places and paths. Node paths use the map art's own numbers, which skip the places
// the story has no location for; a place's row index is its location index.

#include "Src/Investigation/Vey_MapFrame.h"

namespace Vey {

namespace {

const std::vector<SMapLocation> kMainLocations = {
    {"root/Scene01/1", {}},
    {"root/Scene02/2", {"root/Scene02/HOS", "root/Scene02/PointOfInterest1", "root/Scene02/PointOfInterest2"}},
    {"root/Scene04/4", {"root/Scene04/PointOfInterest2", "root/Scene04/Game"}},
    {"root/Scene05/5", {"root/Scene05/PointOfInterest5", "root/Scene05/PointOfInterest4", "root/Scene05/PointOfInterest3", "root/Scene05/HOS0"}},
    {"root/Scene07/7", {"root/Scene07/PointOfInterest6", "root/Scene07/PointOfInterest5"}},
    {"root/Scene08/8", {"root/Scene08/Locked1", "root/Scene08/PointOfInterest8", "root/Scene08/PointOfInterest7", "root/Scene08/PointOfInterest9", "root/Scene08/Game1"}},
    {"root/Scene09/9", {"root/Scene09/PointOfInterest9", "root/Scene09/Locked2", "root/Scene09/Locked1"}},
    {"root/Scene10/10", {"root/Scene10/Locked3", "root/Scene10/PointOfInterest11", "root/Scene10/PointOfInterest10"}},
    {"root/Scene11/11", {"root/Scene11/Game1", "root/Scene11/HOS1", "root/Scene11/PointOfInterest13", "root/Scene11/PointOfInterest12", "root/Scene11/PointOfInterest15"}},
    {"root/Scene12/12", {"root/Scene12/Locked4", "root/Scene12/Locked5"}},
    {"root/Scene13/13", {"root/Scene13/PointOfInterest14", "root/Scene13/PointOfInterest15", "root/Scene13/HOS3"}},
    {"root/Scene14/14", {"root/Scene14/PointOfInterest16"}},
    {"root/Scene15/15", {"root/Scene15/HOS4", "root/Scene15/PointOfInterest18", "root/Scene15/PointOfInterest17"}},
    {"root/Scene16/16", {"root/Scene16/PointOfInterest113", "root/Scene16/PointOfInterest111", "root/Scene16/PointOfInterest110", "root/Scene16/PointOfInterest19"}},
    {"root/Scene17/17", {"root/Scene17/HOS5", "root/Scene17/PointOfInterest112"}},
    {"root/Scene18/18", {"root/Scene18/Locked5", "root/Scene18/PointOfInterest114"}},
    {"root/Scene19/19", {"root/Scene19/PointOfInterest115", "root/Scene19/PointOfInterest117", "root/Scene19/Locked6"}},
    {"root/Scene20/20", {"root/Scene20/PointOfInterest117", "root/Scene20/PointOfInterest116", "root/Scene20/Locked7"}},
    {"root/Scene21/21", {"root/Scene21/Locked8"}},
    {"root/Scene22/22", {"root/Scene22/PointOfInterest117", "root/Scene22/Locked9"}},
    {"root/Scene23/23", {"root/Scene23/PointOfInterest119", "root/Scene23/PointOfInterest118", "root/Scene23/PointOfInterest1110"}},
    {"root/Scene24/24", {"root/Scene24/HOS6", "root/Scene24/Locked11", "root/Scene24/Locked10"}},
    {"root/Scene25/25", {"root/Scene25/PointOfInterest1111", "root/Scene25/PointOfInterest1110", "root/Scene25/Locked12"}},
    {"root/Scene26/26", {"root/Scene26/Locked12", "root/Scene26/PointOfInterest1113", "root/Scene26/PointOfInterest1112"}},
    {"root/Scene27/27", {"root/Scene27/PointOfInterest1117", "root/Scene27/PointOfInterest1116", "root/Scene27/PointOfInterest1115", "root/Scene27/PointOfInterest1114"}},
    {"root/Scene28/28", {"root/Scene28/PointOfInterest1119", "root/Scene28/PointOfInterest1118", "root/Scene28/Locked13"}},
    {"root/Scene29/29", {"root/Scene29/HOS7", "root/Scene29/PointOfInterest11111", "root/Scene29/PointOfInterest11110"}},
    {"root/Scene30/30", {"root/Scene30/PointOfInterest11113", "root/Scene30/PointOfInterest11112", "root/Scene30/PointOfInterest11114"}},
    {"root/Scene31/31", {"root/Scene31/PointOfInterest11113"}},
    {"root/Scene32/32", {"root/Scene32/Locked14"}},
    {"root/Scene33/33", {"root/Scene33/PointOfInterest11115", "root/Scene33/PointOfInterest11114", "root/Scene33/Locked15"}},
    {"root/Scene34/34", {"root/Scene34/PointOfInterest11118", "root/Scene34/PointOfInterest11116", "root/Scene34/Locked16"}},
    {"root/Scene35/Scene35", {}},
};
const std::vector<SMapLocation> kBonusLocations = {
    {"root/Scene01/1", {}},
    {"root/Scene02/2", {"root/Scene02/PointOfInterest1", "root/Scene02/PointOfInterest2", "root/Scene02/HOS0"}},
    {"root/Scene03/3", {"root/Scene03/PointOfInterest3", "root/Scene03/PointOfInterest5", "root/Scene03/Locked0"}},
    {"root/Scene04/4", {"root/Scene04/PointOfInterest3", "root/Scene04/PointOfInterest4", "root/Scene04/HOS1", "root/Scene04/Game0"}},
    {"root/Scene05/5", {"root/Scene05/PointOfInterest3"}},
};
const std::vector<SMapPath> kMainPaths = {
    {0, 1, {"root/WayPoints/1-2/WayPoint", "root/WayPoints/1-2/WayPoint0", "root/WayPoints/1-2/WayPoint1"}},
    {0, 2, {"root/WayPoints/1-4/WayPoint9", "root/WayPoints/1-4/WayPoint10", "root/WayPoints/1-4/WayPoint11"}},
    {0, 5, {"root/WayPoints/1-8/WayPoint12", "root/WayPoints/1-8/WayPoint13"}},
    {1, 2, {"root/WayPoints/2-4/WayPoint2", "root/WayPoints/2-4/WayPoint3"}},
    {2, 3, {"root/WayPoints/4-5/WayPoint4", "root/WayPoints/4-5/WayPoint5", "root/WayPoints/4-5/WayPoint6"}},
    {3, 4, {"root/WayPoints/5-7/WayPoint8", "root/WayPoints/5-7/WayPoint7"}},
    {5, 11, {"root/WayPoints/8-14/WayPoint14", "root/WayPoints/8-14/WayPoint15", "root/WayPoints/8-14/WayPoint16", "root/WayPoints/8-14/WayPoint17"}},
    {5, 8, {"root/WayPoints/8-11/WayPoint18", "root/WayPoints/8-11/WayPoint19"}},
    {5, 6, {"root/WayPoints/8-9/WayPoint111", "root/WayPoints/8-9/WayPoint112"}},
    {6, 14, {"root/WayPoints/9-17/WayPoint113", "root/WayPoints/9-17/WayPoint114"}},
    {6, 13, {"root/WayPoints/9-16/WayPoint115", "root/WayPoints/9-16/WayPoint116", "root/WayPoints/9-16/WayPoint117"}},
    {6, 7, {"root/WayPoints/9-10/WayPoint118", "root/WayPoints/9-10/WayPoint119"}},
    {7, 9, {"root/WayPoints/10-12/WayPoint1110", "root/WayPoints/10-12/WayPoint1111", "root/WayPoints/10-12/WayPoint1112", "root/WayPoints/10-12/WayPoint1113"}},
    {9, 10, {"root/WayPoints/12-13/WayPoint1114", "root/WayPoints/12-13/WayPoint1115"}},
    {9, 16, {"root/WayPoints/12-19/WayPoint1117", "root/WayPoints/12-19/WayPoint1118"}},
    {11, 12, {"root/WayPoints/14-15/WayPoint1119", "root/WayPoints/14-15/WayPoint11110"}},
    {15, 18, {"root/WayPoints/18-21/WayPoint11115", "root/WayPoints/18-21/WayPoint11116"}},
    {16, 17, {"root/WayPoints/19-20/WayPoint11111", "root/WayPoints/19-20/WayPoint11112"}},
    {17, 15, {"root/WayPoints/20-18/WayPoint11113", "root/WayPoints/20-18/WayPoint11114"}},
    {18, 19, {"root/WayPoints/21-22/WayPoint11117", "root/WayPoints/21-22/WayPoint11118"}},
    {19, 20, {"root/WayPoints/22-23/WayPoint11119", "root/WayPoints/22-23/WayPoint111110", "root/WayPoints/22-23/WayPoint111111"}},
    {20, 21, {"root/WayPoints/23-24/WayPoint111113", "root/WayPoints/23-24/WayPoint111114"}},
    {21, 22, {"root/WayPoints/24-25/WayPoint111115", "root/WayPoints/24-25/WayPoint111116", "root/WayPoints/24-25/WayPoint111117"}},
    {21, 25, {"root/WayPoints/24-28/WayPoint1111112", "root/WayPoints/24-28/WayPoint1111111"}},
    {21, 27, {"root/WayPoints/24-30/WayPoint11111115", "root/WayPoints/24-30/WayPoint11111117"}},
    {21, 29, {"root/WayPoints/24-32/WayPoint1111115", "root/WayPoints/24-32/WayPoint1111116", "root/WayPoints/24-32/WayPoint1111117"}},
    {22, 23, {"root/WayPoints/25-26/WayPoint111118", "root/WayPoints/25-26/WayPoint111119"}},
    {23, 24, {"root/WayPoints/26-27/WayPoint1111110"}},
    {25, 26, {"root/WayPoints/28-29/WayPoint1111113"}},
    {27, 28, {"root/WayPoints/30-31/WayPoint11111118", "root/WayPoints/30-31/WayPoint11111119"}},
    {29, 30, {"root/WayPoints/32-33/WayPoint1111118", "root/WayPoints/32-33/WayPoint1111119"}},
    {30, 31, {"root/WayPoints/33-34/WayPoint11111110", "root/WayPoints/33-34/WayPoint11111111"}},
    {31, 32, {"root/WayPoints/34-35/WayPoint11111113", "root/WayPoints/34-35/WayPoint11111114"}},
};
const std::vector<SMapPath> kBonusPaths = {
    {0, 1, {"root/WayPoints/1-2/WayPoint1", "root/WayPoints/1-2/WayPoint0", "root/WayPoints/1-2/WayPoint3", "root/WayPoints/1-2/WayPoint4", "root/WayPoints/1-2/WayPoint", "root/WayPoints/1-2/WayPoint2"}},
    {1, 2, {"root/WayPoints/2-3/WayPoint1", "root/WayPoints/2-3/WayPoint0", "root/WayPoints/2-3/WayPoint2", "root/WayPoints/2-3/WayPoint3"}},
    {2, 3, {"root/WayPoints/3-4/WayPoint4", "root/WayPoints/3-4/WayPoint5", "root/WayPoints/3-4/WayPoint6", "root/WayPoints/3-4/WayPoint3", "root/WayPoints/3-4/WayPoint0", "root/WayPoints/3-4/WayPoint1"}},
    {2, 4, {"root/WayPoints/3-5/WayPoint2", "root/WayPoints/3-5/WayPoint6", "root/WayPoints/3-5/WayPoint4", "root/WayPoints/3-5/WayPoint5", "root/WayPoints/3-5/WayPoint", "root/WayPoints/3-5/WayPoint3", "root/WayPoints/3-5/WayPoint0", "root/WayPoints/3-5/WayPoint1"}},
};

}  // namespace

const std::vector<SMapLocation>& MapLocations(bool bonus) { return bonus ? kBonusLocations : kMainLocations; }

const std::vector<SMapPath>& MapPaths(bool bonus) { return bonus ? kBonusPaths : kMainPaths; }

}  // namespace Vey
