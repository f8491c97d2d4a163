// The log of what reached the test cameras, one line per call, appended and
// flushed to the file named by VIDORRA_VCAM_LOG (nothing is logged when it is
// unset), so that a test in another process reads exactly what arrived, in
// order. Every line starts with its kind and the camera:
//
//   ks cam=usb1 set=A7A6A934-3A4A-4351-85F4-042EF2CDCAAB id=15 flags=0x10000002 node=2 len=1 ret=1 bytes=f6 hr=0x00000000
//       one IKsControl::KsProperty call: the request's set, id, flags and node
//       (node=- when the request is shorter than KSP_NODE), the data length
//       given, the bytes returned, the bytes (sent for a SET, returned for a
//       GET, none otherwise) and the HRESULT answered
//   wb-get cam=usb1 value=4600 flags=1 hr=0x00000000    IAMVideoProcAmp::Get of white balance
//   wb-set cam=usb1 value=5000 flags=2 hr=0x00000000    IAMVideoProcAmp::Set of white balance
//   list cams=usb1,usb2                                  the video input devices listed, in order
//   bind cam=usb1 hr=0x00000000                          a moniker bound to a filter
//   state cam=usb1 pause|run|stop                        the filter's state changes
//   frames cam=usb1 count=N                              frames delivered, when the stream stops
//   gone cam=usb1                                        a streaming camera noticed it is gone
//   vanish cam=usb1                                      vanish-after took the camera away
//   page activate|deactivate                             the property page shows or goes
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace vcam {

void logLine(const std::string &line);

std::string hresultText(HRESULT hr);               // 0x80070490
std::string guidText(const GUID &guid);            // A7A6A934-3A4A-4351-85F4-042EF2CDCAAB
std::string bytesText(const std::uint8_t *bytes, std::size_t count);  // f6 or 00ff12, no spaces

}  // namespace vcam
