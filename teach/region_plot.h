// The taught regions of the teach rows drawn in DATAP's colour-plane graphs
// (page 2: colour plane and intensity band; page 3: the X/Y, X/INT and Y/INT
// projections), and the extents they cover, which frame the live graphs.
#pragma once

#include "parameters/parameter_set.h"

// Lowest and highest coordinate covered by the regions of the rows that count, per axis.
// Signed: a region near an axis origin reaches below zero. An axis where no row counts
// holds (0, 10000). Kept until the next PlotTeachRegions.
struct RegionExtents {
  int XLow = 0, XHigh = 10000;      // X - t .. X + t (s in the s i M modes)
  int YLow = 0, YHigh = 10000;      // Y - t .. Y + t (i)
  int IntLow = 0, IntHigh = 10000;  // I - ti .. I + ti (INT or M)
};

extern RegionExtents TeachRegionExtents;

// A row's region: centre (X, Y), colour radius t, intensity I with half-width ti.
struct TeachRegion {
  int X, Y, T, I, Ti;
};

constexpr int BAND_COLOR = 0x408080;    // the intensity band of the row in No.
constexpr int BAND_INT_LIMIT = 4096;    // the band ends at the top of the intensity range

// The cells a region is built from: 2D modes (0, 1) take t = CELL 2, I = CELL 3, ti = CELL 4;
// 3D modes (2, 3) take I = CELL 2 and TOL = CELL 3 as both t and ti.
TeachRegion RegionOfRow(const TeachVector& row, int calcMode);
// Extents over all 31 rows. A row with X <= 10 and Y <= 10 (still at its reset value)
// does not count; an axis where nothing counted comes out as (0, 10000).
RegionExtents ComputeRegionExtents(const TeachVector rows[TEACH_VECTOR_COUNT], int calcMode);
// The band of intensity I +- ti, clipped to 0 .. 4096.
void IntensityBand(int intensity, int halfWidth, int* low, int* high);

// Redraws the band, then the 124 ellipses of all rows (active or not) in their row
// colours from ParameterSet, and sets TeachRegionExtents.
void PlotTeachRegions();
// Redraws the intensity graph's band from the TEACH TABLE row chosen in No.
void PlotRowIntensityBand();
// Removes every plot of the five region graphs (cursors stay).
void DeleteTeachRegionPlots();
