#pragma once

namespace vidorra {
// The form's fixed label sizes were laid out for Arial and for the Windows
// GUI font. Where those are missing, narrow metric-compatible substitutes
// keep the texts inside their labels.
void adoptFormFonts();
}  // namespace vidorra
