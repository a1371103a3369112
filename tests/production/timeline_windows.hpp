#pragma once
// The time windows of the timeline's layers (open bounds, part time), written
// down from the show's timetable, for the sweep test and the contact sheets.
#include <vector>

std::vector<double> timeline_window_bounds();
