#pragma once

// The fonts the program names are Windows fonts. Elsewhere they fall back
// to fonts of the same metrics, so that texts keep their width and lines
// break where they did; documents keep naming the fonts they were written
// with.
namespace FontFallbacks {

// Makes Qt take a look-alike where a named font is missing. Called before
// the first widget, since a widget keeps the font it resolved.
void install();

} // namespace FontFallbacks
