#pragma once
#include "db/Database.h"

#include <QString>
#include <memory>

// Test fixtures for the database. The template database is created once per test run (shared by
// all test executables, guarded by a lock file) from the shipped creation script; every test
// gets its own copy of it.
namespace testsupport {

// The scratch folder of this test run (MOLARIX_TEST_TMP, or a folder under the system temp).
QString scratchDir();

// Path of the template database, created on first use.
QString templatePath();

// A fresh copy of the template at a unique path. The file is removed by the caller's cleanup
// (scratchDir() is wiped by the test script at the start of every run).
QString freshDatabaseFile(const QString& tag = QString());

// Attaches a new connection (embedded) to the given file.
std::unique_ptr<db::Database> open(const QString& connectionString);

// A fresh copy of the template, attached through the embedded engine.
std::unique_ptr<db::Database> freshDatabase(const QString& tag = QString());

// "127.0.0.1:" when the test script started a Firebird server (MOLARIX_FB_SERVER), else empty.
QString serverPrefix();

// Points QSettings at a folder of its own for this test process.
void isolateSettings();

}  // namespace testsupport
