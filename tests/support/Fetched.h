#pragma once
#include <QtTest>

// The current data row's value of a column where an expression is needed (QFETCH declares a
// variable).
#define FETCHED(Type, name) (*static_cast<Type*>(QTest::qData(#name, ::qMetaTypeId<Type>())))
