#pragma once
// The two database backends every database test runs on.
#include <gtest/gtest.h>
#include <ostream>
#include <string>

enum class Backend { SQLite, PostgreSQL };

inline const char* BackendName(Backend backend) {
    return backend == Backend::SQLite ? "SQLite" : "PostgreSQL";
}

inline void PrintTo(Backend backend, std::ostream* os) {
    *os << BackendName(backend);
}

// Names the instances "SQLite" and "PostgreSQL".
struct BackendParamName {
    std::string operator()(const ::testing::TestParamInfo<Backend>& info) const {
        return BackendName(info.param);
    }
};

#define APRICOT_ALL_BACKENDS ::testing::Values(Backend::SQLite, Backend::PostgreSQL)

// Runs every test of a suite parameterised by Backend on both backends.
#define APRICOT_INSTANTIATE_BACKENDS(suite)                                                        \
    INSTANTIATE_TEST_SUITE_P(Backends, suite, APRICOT_ALL_BACKENDS, BackendParamName())
