#pragma once
// The fixed lists a synthetic school is made from: studies with their courses and
// subjects, departments, activities, names of people and rooms. Invented, but in
// the shape of a secondary school of the Séneca system.

#include <QString>

#include <vector>

namespace school::catalogue {

struct Department {
    const char *key;
    const char *name;
};
const std::vector<Department> &departments();
int departmentIndex(const QString &key); // -1 when unknown; "TUT" is the unit's tutor

struct CoreSubject {
    const char *name;
    const char *pattern; // weekly lessons; "" when listed but not taught
    const char *department; // key, or "TUT"
};

// One course of a study: how it is called and which subjects its units take.
struct StudyCourse {
    const char *study; // level name (NIVEL), at most 3 characters
    const char *course; // CURSO
    const char *description; // CURSOS_DEL_CENTRO description
    const char *unitName; // units are called unitName + " " + letter
    const char *studyTitle; // NIVELES description
    bool compulsory; // ESO: units have a Tutoría subject
    bool bachillerato; // the tutor's hour is planned without a subject
    std::vector<CoreSubject> subjects;
};
// The courses of one round of studies, interleaved so that a small school already
// has ESO and Bachillerato.
const std::vector<StudyCourse> &studyCourses();

// Subjects listed in MATERIAS that nobody teaches this year (optional subjects).
const std::vector<QString> &optionalSubjects();

struct CoreActivity {
    const char *marker, *code, *name, *unitFlag, *subjectFlag;
};
// The activities every school has (codes 1, 21, 376, 34, ... as in the example).
const std::vector<CoreActivity> &coreActivities();
const std::vector<QString> &activityTopics();

const std::vector<QString> &surnames();
const std::vector<QString> &givenNames();
const std::vector<QString> &specialRooms();

} // namespace school::catalogue
