#pragma once

namespace kivo::rules {

// Key codes are Windows-1252 codes (or control codes such as 8 for Backspace); 0 discards.

// Digits, ".", Backspace, Tab and Escape pass; everything else becomes 0.
int soloNumeros(int key);
// Case of one character by the Windows-1252 rules; digits, punctuation and control codes
// pass unchanged.
int upperKey(int key);
int lowerKey(int key);

} // namespace kivo::rules
