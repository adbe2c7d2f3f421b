#pragma once
// A synthetic school, as Séneca and the planning system would describe it: the
// records of every group the converter reads, and the teachers' assignments. The
// generator builds one from a seed and a scale; school_files writes it out.

#include <QString>

#include <cstdint>
#include <vector>

namespace school {

struct Frame {
    QString code, name;
};

struct Slot {
    QString code, label;
    int start = 0, end = 0; // minutes after midnight
    int frame = 0; // index into School::frames
};

struct Course {
    QString key, description, level, course;
    int levelCode = 0; // X_NIVCONPAGLEG of its level
};

struct Unit {
    QString key, name;
    int course = 0;
};

// One MATERIAS entry: a subject offered in a course.
struct Subject {
    int course = 0;
    QString name, id;
    QString pattern; // weekly lessons when taught ("" when nobody teaches it)
    int department = 0;
};

struct Activity {
    QString marker, code, name, unitFlag, subjectFlag;
};

struct Teacher {
    QString id, takingOfPost, department, surname1, surname2, given, email;
};

struct Room {
    QString id, name;
};

struct Origin {
    QString code, key, description;
};

struct Level {
    QString code, key, description;
};

struct CourseLevel {
    QString course, level;
};

struct Authorisation {
    QString code, activity, category, level;
};

// One assignment record of a teacher's planning group (positions 1 to 12).
struct Assignment {
    QString subjectId, courseKey, subjectName, unitKey, levelKey, unitName, pattern, originKey, originName, task;
};

struct PlanningTeacher {
    QString id, fullName, post, email;
    std::vector<Assignment> assignments;
};

struct School {
    QString name;
    QString year, firstDay, lastDay;
    std::vector<Frame> frames;
    std::vector<Slot> slots;
    std::vector<Course> courses;
    std::vector<Unit> units;
    std::vector<Subject> subjects;
    std::vector<Activity> activities;
    std::vector<Teacher> teachers;
    std::vector<Room> rooms;
    std::vector<Origin> origins;
    std::vector<Level> levels;
    std::vector<CourseLevel> courseLevels;
    std::vector<Authorisation> authorisations;
    std::vector<PlanningTeacher> planning;
};

// Scale 1 is a large real school: about 150 teachers, 60 units, 40 courses, 1,200
// MATERIAS entries, 120 activities and 70 rooms, two frames of 7 slots each. Every
// count grows linearly with the scale; the two frames and their slots stay.
School generateSchool(std::uint32_t seed, double scale);

} // namespace school
