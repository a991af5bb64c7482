#pragma once

// The product texts: the application title carries 3.0, the window caption 3.1.
inline constexpr const char* productName = "Qubrix";
inline constexpr const char* productVersion = "3.1";
inline constexpr const char* applicationTitle = "Qubrix 3.0";
