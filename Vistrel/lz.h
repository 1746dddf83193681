#pragma once

// The LZ coder of the picture cache files: byte 0 is the marker M (the least frequent input
// byte, the smallest on ties); then literals, "M 0" for the literal M, and copies "M L D" of
// L bytes from D bytes back in the output, L and D as variable-size integers (7 bits a byte,
// most significant group first, bit 7 set on every byte but the last). The search window is
// 100000 bytes; the compressed bytes are part of the cache file format.

// Compresses insize bytes of in into out, which must hold insize + insize / 256 + 1 bytes;
// returns the number of bytes written (0 for no input).
unsigned int LZ_Compress(unsigned char* in, unsigned char* out, unsigned int insize);

// Decodes insize bytes of stream into out, which holds capacity bytes. Returns the decoded
// length, or -1 for a damaged stream (a copy reaching before the start of the output, output
// past the capacity, a token cut off by the end); it never writes outside out.
int LZ_Uncompress(unsigned char* in, unsigned char* out, unsigned int insize, unsigned int capacity);

// Writes value as a variable-size integer; returns the number of bytes (1 to 5).
int _LZ_WriteVarSize(unsigned int value, unsigned char* buf);

// The largest stream LZ_Compress can make of insize bytes.
inline unsigned int LZ_CompressBound(unsigned int insize)
{
    return insize + insize / 256 + 1;
}
