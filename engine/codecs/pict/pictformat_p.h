#pragma once

// Pieces of Apple's PICT format shared by the reader and the writer.

#include <cstdint>

namespace quillon::engine::codecs::pict {

constexpr int kAppHeaderBytes = 512; // the application header before the picture proper
constexpr int kMaxRowBytes = 0x3FFF; // QuickDraw's limit on the bytes in one pixel-map row

// Opcodes Quillon reads or writes by name.
enum Opcode : std::uint16_t {
    opNop = 0x0000,
    opClip = 0x0001,
    opVersion = 0x0011,
    opDefHilite = 0x001E,
    opBitsRect = 0x0090,
    opBitsRgn = 0x0091,
    opPackBitsRect = 0x0098,
    opPackBitsRgn = 0x0099,
    opDirectBitsRect = 0x009A,
    opDirectBitsRgn = 0x009B,
    opEndOfPicture = 0x00FF,
    opHeader = 0x0C00,
    opCompressedQuickTime = 0x8200,
    opUncompressedQuickTime = 0x8201,
};

struct Rect
{
    int top = 0, left = 0, bottom = 0, right = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool valid() const { return right > left && bottom > top; }
};

} // namespace quillon::engine::codecs::pict
