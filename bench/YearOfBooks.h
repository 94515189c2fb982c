#pragma once

class TestDatabase;

// A year of a busy unit for the benchmark: 100,000 books of 20 kinds issued to 30 departments from
// mid-2024 to the end of 2025, two in three of them returned.
constexpr int YearOfBooksRuns = 100000;
void FillYearOfBooks(TestDatabase &t);
