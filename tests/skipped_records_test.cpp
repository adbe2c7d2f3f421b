// The notes that name the records the steps passed over.
#include "export/skipped_records.h"

#include <gtest/gtest.h>

TEST(SkippedRecords, EachGroupGetsOneNoteNamingItsRecordsOnceAndInOrder)
{
    SkippedRecords skipped;
    EXPECT_TRUE(skipped.notes().isEmpty());
    skipped.add(QStringLiteral("EMPLEADOS"), 7, 2);
    skipped.add(QStringLiteral("PROFESOR_3"), 2, 1);
    skipped.add(QStringLiteral("EMPLEADOS"), 4, 2);
    skipped.add(QStringLiteral("EMPLEADOS"), 7, 2); // a later step passing it over again
    EXPECT_EQ(skipped.notes(),
        (QStringList{QStringLiteral("Los registros 4 y 7 del grupo EMPLEADOS no se han exportado porque no tienen "
                                    "al menos 2 valores."),
            QStringLiteral("El registro 2 del grupo PROFESOR_3 no se ha exportado porque no tiene ningún valor.")}));
}

TEST(SkippedRecords, ManyRecordsAreCountedBeyondTheFirstTwenty)
{
    SkippedRecords skipped;
    for (int record = 1; record <= 25; ++record)
        skipped.add(QStringLiteral("UNIDADES"), record, 2);
    EXPECT_EQ(skipped.notes(),
        QStringList{QStringLiteral("Los registros 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, "
                                   "19, 20 y 5 más del grupo UNIDADES no se han exportado porque no tienen al menos "
                                   "2 valores.")});
}
