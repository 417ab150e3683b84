#pragma once

// The layouts name "MS Sans Serif", a bitmap family that does not exist
// here; its metric-compatible free sans serif keeps captions within their
// fixed places. Every window that uses the family calls this first; calling
// it again does no harm.
void SubstituteClassicFonts();
