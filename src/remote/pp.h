#pragma once

// TARVIK_FOR_EACH(m, a, b, c)        -> m(a) m(b) m(c)
// TARVIK_FOR_EACH_COMMA(m, a, b, c)  -> m(a), m(b), m(c)
// Used to turn the one-line method descriptions of methods.def into declarations and tables.

#define TARVIK_PP_PARENS ()
#define TARVIK_PP_EXPAND(...) TARVIK_PP_EXPAND4(TARVIK_PP_EXPAND4(TARVIK_PP_EXPAND4(TARVIK_PP_EXPAND4(__VA_ARGS__))))
#define TARVIK_PP_EXPAND4(...) TARVIK_PP_EXPAND3(TARVIK_PP_EXPAND3(TARVIK_PP_EXPAND3(TARVIK_PP_EXPAND3(__VA_ARGS__))))
#define TARVIK_PP_EXPAND3(...) TARVIK_PP_EXPAND2(TARVIK_PP_EXPAND2(TARVIK_PP_EXPAND2(TARVIK_PP_EXPAND2(__VA_ARGS__))))
#define TARVIK_PP_EXPAND2(...) TARVIK_PP_EXPAND1(TARVIK_PP_EXPAND1(TARVIK_PP_EXPAND1(TARVIK_PP_EXPAND1(__VA_ARGS__))))
#define TARVIK_PP_EXPAND1(...) __VA_ARGS__

#define TARVIK_FOR_EACH(macro, ...) __VA_OPT__(TARVIK_PP_EXPAND(TARVIK_PP_FOR_EACH_HELPER(macro, __VA_ARGS__)))
#define TARVIK_PP_FOR_EACH_HELPER(macro, a1, ...)                                                           \
    macro(a1) __VA_OPT__(TARVIK_PP_FOR_EACH_AGAIN TARVIK_PP_PARENS(macro, __VA_ARGS__))
#define TARVIK_PP_FOR_EACH_AGAIN() TARVIK_PP_FOR_EACH_HELPER

#define TARVIK_FOR_EACH_COMMA(macro, ...)                                                                   \
    __VA_OPT__(TARVIK_PP_EXPAND(TARVIK_PP_FOR_EACH_COMMA_HELPER(macro, __VA_ARGS__)))
#define TARVIK_PP_FOR_EACH_COMMA_HELPER(macro, a1, ...)                                                     \
    macro(a1) __VA_OPT__(, TARVIK_PP_FOR_EACH_COMMA_AGAIN TARVIK_PP_PARENS(macro, __VA_ARGS__))
#define TARVIK_PP_FOR_EACH_COMMA_AGAIN() TARVIK_PP_FOR_EACH_COMMA_HELPER
