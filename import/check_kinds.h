#pragma once
// Every kind of finding of the timetable check, declared once: how grave it is,
// the title its group carries in the report, and the one sentence that says what
// to do about it and where (Horavent, Séneca or the planning file).
//
// An error is what Séneca will refuse or record wrongly. A warning is something a
// person should look at because it is usually a mistake. Information is what is
// worth knowing and needs nothing done.

enum class CheckSeverity { Error, Warning, Information };

enum class CheckKind {
    // The document's form.
    Misencoded,
    NotWellFormed,
    NoRoot,
    WrongYear,
    ForeignGroup,
    MissingSection,
    NoNonRegularSection,
    SectionCount,
    DatosOutOfOrder,
    LessonCount,
    UnknownTeacher,
    TeacherTwice,
    // The codes.
    UnknownSlot,
    UnknownRoom,
    UnknownUnit,
    UnknownCourse,
    SubjectNotInCourse,
    UnitOfOtherCourse,
    UnknownActivity,
    WrongSection,
    ActivityWithoutUnit,
    ActivityWithoutSubject,
    // Days and times.
    BadWeekday,
    Weekend,
    BadTimes,
    TimesNotSlot,
    NoMinutes,
    // Dates.
    BadDate,
    DatesReversed,
    OutsideYear,
    // Authorisations.
    NoAuthorisation,
    AuthorisationWithoutCatalogues,
    UnknownAuthorisation,
    AuthorisationOfOtherActivity,
    // Lessons at once.
    TeacherInTwoPlaces,
    RoomTwiceBooked,
    // Load and taking of post.
    TakingPostDiffers,
    BeforeTakingPost,
    RepeatedLesson,
    RegularLoad,
    NonRegularLoad,
    WithoutTimetable,
    Count
};

struct CheckKindInfo {
    CheckSeverity severity;
    const char *title; // the group's title in the report, UTF-8
    const char *advice; // what to do, one sentence ending in a full stop, UTF-8
    const char *countWord; // what a line counts: "lecciones", "veces"
};

const CheckKindInfo &checkKindInfo(CheckKind kind);
