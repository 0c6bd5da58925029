#pragma once

// The four page buttons, the same in both views.
enum class PageStep { First, Back, Forward, Last };

// The page a step leads to from page; back and forward wrap around, and a
// page outside 0-9 counts as past the end it lies beyond.
int pageAfter(PageStep step, int page);
