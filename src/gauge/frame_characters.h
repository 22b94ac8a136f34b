#pragma once

namespace valbrix {

// Every command to a gauge is framed by these two bytes, and a record handed on ends with ETX.
inline constexpr char STX = 0x02;
inline constexpr char ETX = 0x03;

}  // namespace valbrix
