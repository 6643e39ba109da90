#pragma once
// The processor's wide vector registers after the Qt application object is
// made.
//
// Building a QGuiApplication runs code that leaves the upper halves of the
// 256-bit registers in use without clearing them. On x86-64 every plain SSE
// instruction afterwards (the sines and cosines of libm, zlib, this program's
// own floating point) then waits on those halves: the coastline points' unit
// vectors took ten times as long. Threads started later inherit the state.

namespace darvelle {

// Clears the upper halves when the processor has them; does nothing
// elsewhere. Call it on the thread that made the application object, right
// after, before other threads start.
void ClearUpperVectorState();

}  // namespace darvelle
