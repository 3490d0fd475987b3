// TARVO_SLOW_TESTS_SKIPPED is 1 in sanitizer builds: tests that walk the
// whole canon or fit models run in the optimised build only.
#pragma once

#if defined(__SANITIZE_ADDRESS__)
#define TARVO_SLOW_TESTS_SKIPPED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TARVO_SLOW_TESTS_SKIPPED 1
#endif
#endif
#ifndef TARVO_SLOW_TESTS_SKIPPED
#define TARVO_SLOW_TESTS_SKIPPED 0
#endif
