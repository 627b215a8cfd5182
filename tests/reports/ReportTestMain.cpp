#include <QApplication>

// The report tests are QtTest classes in one executable (one executable per subsystem).
int runReportUnitTests(int argc, char** argv);
int runPaginationTests(int argc, char** argv);
int runSampleReportTests(int argc, char** argv);
int runCsvTests(int argc, char** argv);

int main(int argc, char** argv) {
    QApplication app(argc, argv);  // fonts for the PDF; the platform is offscreen
    int failed = 0;
    failed += runReportUnitTests(argc, argv);
    failed += runPaginationTests(argc, argv);
    failed += runSampleReportTests(argc, argv);
    failed += runCsvTests(argc, argv);
    return failed;
}
