#pragma once

class TXYGraph;

// Whether loading the layout also gives the graph its place in the
// acquisition window.
enum class TGraphPlacement { KeepBounds, WindowBounds };

// Loads the spectrum graph's settings as the acquisition window stores
// them: title "Spectrogram", x 0 to 512 and y 0 to 256 with 5 x 5 ticks and
// the main grid, its fonts, colours and margins, and MaxZoom; with
// WindowBounds also its place, 969 x 361 pixels at (320, 8). The settings
// are loaded inside BeginLoading / Loaded, so the ranges become the home
// view.
void LoadSpectrumGraphSettings(TXYGraph& graph, TGraphPlacement placement);
