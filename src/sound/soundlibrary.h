#pragma once

// The sound library (qubrix_sound) holds the code that plays sound 1000. The program opens it
// at the first sound and calls this entry point, which starts the sound without waiting and
// does nothing where there is no audio device.
inline constexpr char playSound1000Entry[] = "qubrixPlaySound1000";
using PlaySound1000 = void (*)();
