// The value every function with a local array puts below its return address
// and checks before it returns (-fstack-protector-strong), and what happens
// when the check fails. The plug-in keeps its own, so the guard costs a load
// no more than one random number.
#pragma once

// Draws a fresh guard value. Called once at load, before any function that
// checks the guard is entered, from a function that does not check it.
void SeedStackGuard();
