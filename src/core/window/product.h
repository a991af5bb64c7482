#pragma once

// The product texts: the application title carries 3.0, the window caption 3.1.
inline constexpr const char* productName = "Qubrix";
inline constexpr const char* productVersion = "3.1";
inline constexpr const char* applicationTitle = "Qubrix 3.0";
// The copyright label of the main window and the About box.
inline constexpr const char* copyrightLabel = "\u00a9 1997-2026 Qubrix Software";
