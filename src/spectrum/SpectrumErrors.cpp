#include "spectrum/SpectrumErrors.h"

// Defined here so the exception's type information lives in this library
// alone and a catch in a program that links it matches.
ESpectrum::~ESpectrum() = default;
