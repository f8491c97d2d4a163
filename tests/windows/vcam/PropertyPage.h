// The camera's property page, which OleCreatePropertyFrame creates by its
// class id: automatic white balance and the temperature, set through the
// filter's IAMVideoProcAmp. Wine's frame never calls Apply, so each change
// is applied at once.
#pragma once

#include <windows.h>

namespace vcam {

HRESULT createPropertyPage(REFIID iid, void **out);

// This DLL, for window classes and registration.
HINSTANCE moduleInstance();

}  // namespace vcam
