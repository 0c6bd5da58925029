#pragma once

class QIODevice;

// Base64 with the standard alphabet and "=" padding, no line breaks, over
// streams: each reads its input from the current position to the end and
// appends to the output.

void Base64EncodeStream(QIODevice &input, QIODevice &output);

// Throws KladdoError "Invalid Base64 Character" for anything the encoder
// cannot have written: a character outside the alphabet, "=" in the first
// or second place of a group of four, or a group cut short.
void Base64DecodeStream(QIODevice &input, QIODevice &output);
