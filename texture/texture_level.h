// Level 0 of a picture's texture exactly as the platform's GLU builds it in
// gluBuild2DMipmaps (its size choice and its box filter), computed without it:
// the cloth samples only that level, and GLU spends most of its time on the
// levels below and on one float call per colour component. Platform-free; the
// OpenGL queries the size choice needs come through TextureLimits.
#pragma once

#include <cstdint>
#include <functional>

struct TextureSize {
    int width;
    int height;
};

// GLU's "nearest" power of two: 1 << (index of the highest set bit), doubled
// when the bit below it is set too (so 1366 gives 1024, 1536 gives 2048).
int gluPowerOfTwo(int value);

// What the size choice asks of the OpenGL implementation.
class TextureLimits {
  public:
    virtual ~TextureLimits() = default;
    // Proxy textures exist from OpenGL 1.1 on.
    virtual bool hasProxies() = 0;
    // Whether a texture whose level 1 is width x height, with the levels below,
    // would be accepted.
    virtual bool fitsAtLevelOne(int width, int height) = 0;
    virtual int maxTextureSize() = 0;
};

// Powers of two for both sides; halved together while the implementation
// refuses them (each side stops at 1), and clamped to the largest size where
// there are no proxies or even 1 x 1 is refused.
TextureSize chooseTextureSize(int width, int height, TextureLimits& limits);

// How GLU's box filter rounds. Its 32-bit x86 build keeps weights and partial
// sums in x87 registers, where every one of them is exact, and rounds a sum
// to float only when it stores it (the box's first corner weight is stored
// too); it divides in the registers as well. Its 64-bit build rounds every
// product, sum and quotient to float.
enum class BoxArithmetic { X87Registers, FloatSteps };

// Wine's GLU is the reference; its build for this processor.
#if defined(__i386__) || defined(_M_IX86)
constexpr BoxArithmetic kGluArithmetic = BoxArithmetic::X87Registers;
#else
constexpr BoxArithmetic kGluArithmetic = BoxArithmetic::FloatSteps;
#endif

// Texel layouts of the scaled level: packed RGB, or blue-green-red-alpha with
// alpha 255 (what most drivers store without converting).
enum class TexelLayout { Rgb, Bgra };

// Scales packed RGB rows (`width` x `height`, bottom row first) to `size` as
// gluBuild2DMipmaps does for level 0: unchanged when the sizes are equal, an
// exact 2 x 2 average when both sides halve, else the box filter with its
// quirks (the top row of a picture whose height is already the texture's comes
// out black). `threads` share the rows; the bytes do not depend on them.
void scaleToTexture(const unsigned char* rgb, int width, int height, TextureSize size,
                    TexelLayout layout, BoxArithmetic arithmetic, unsigned char* out, int threads);

// Texels of rows [first, end), packed, valid only during the call.
using LevelBand = std::function<void(int first, int end, const unsigned char* texels)>;

// The same, handed over in bands of rows, each once and in no fixed order, to
// `deliver` on the calling thread, which first runs `meanwhile` while the
// other threads already scale. Only a few bands' worth of memory is used.
void scaleToTexture(const unsigned char* rgb, int width, int height, TextureSize size,
                    TexelLayout layout, BoxArithmetic arithmetic, int threads,
                    const std::function<void()>& meanwhile, const LevelBand& deliver);

// Bytes per texel of the layout.
int texelBytes(TexelLayout layout);
