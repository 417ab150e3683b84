#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// One spectrum as a JCAMP-DX file holds it.
struct TJcampSpectrum {
    std::string Title;
    std::string XUnits = "NANOMETERS";
    std::string YUnits = "ARBITRARY UNITS";
    // Written as "##$NAME=value" before the data: the acquisition settings.
    std::vector<std::pair<std::string, std::string>> Labels;
    std::vector<double> X;
    std::vector<double> Y;
};

// JCAMP-DX 4.24 text: the core header (TITLE, JCAMP-DX, DATA TYPE, ORIGIN,
// OWNER, units, factors of 1, FIRSTX, LASTX, NPOINTS, FIRSTY), the labels,
// then ##XYPOINTS=(XY..XY) - the x values need not be evenly spaced, as a
// polynomial wavelength axis is not - and ##END=. Lines end in LF and are
// at most 80 characters; a longer value goes on in continuation lines that
// start with a blank. Numbers use '.' whatever the locale and read back to
// the same doubles. Control characters in texts become blanks. X and Y
// must be of equal length; raises ESpectrum otherwise.
std::string JcampDxText(const TJcampSpectrum& spectrum);

// Reads a file of one spectrum whose data is ##XYPOINTS= or
// ##PEAK TABLE=(XY..XY), applying XFACTOR and YFACTOR; "$$" comments are
// skipped. Raises ESpectrum naming the fault: no data, another data form,
// a number that does not read, an odd number of values, a point count that
// disagrees with NPOINTS.
TJcampSpectrum ParseJcampDx(std::string_view text);
