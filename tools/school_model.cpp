#include "tools/school_model.h"

#include "tools/random_source.h"
#include "tools/school_catalogue.h"

#include <QSet>

#include <algorithm>
#include <cmath>

namespace school {

namespace {

namespace cat = catalogue;

int scaled(double base, double scale, int minimum)
{
    return std::max(minimum, int(std::llround(base * scale)));
}

int weeklyHours(const QString &pattern)
{
    int sum = 0;
    for (const QChar c : pattern)
        sum += c.digitValue();
    return sum;
}

// Lower-case ASCII letters only, for e-mail addresses.
QString asciiWord(const QString &text)
{
    QString out;
    for (const QChar c : text.normalized(QString::NormalizationForm_D)) {
        if (c.unicode() < 128 && c.isLetter())
            out += c.toLower();
    }
    return out;
}

QString twoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

struct Sizes {
    int teachers, units, courses, subjects, activities, rooms;
};

Sizes sizesFor(double scale)
{
    Sizes s{};
    s.teachers = scaled(150, scale, 8);
    s.units = scaled(60, scale, 3);
    s.courses = std::min(scaled(40, scale, 2), s.units);
    s.subjects = std::max(scaled(1200, scale, 1), s.courses * 14);
    s.activities = scaled(120, scale, int(cat::coreActivities().size()));
    s.rooms = scaled(70, scale, 4);
    return s;
}

// The origins of teaching hours and what each kind of assignment takes.
const char *const kStaff = "PLANTILLA";
const char *const kReinforcement = "REFUERZO";
const char *const kReduction = "REDUCCION";
const char *const kProgramme = "PROGRAMA";

class Builder {
public:
    Builder(std::uint32_t seed, double scale)
        : m_random(seed)
        , m_sizes(sizesFor(scale))
    {
    }

    School build()
    {
        m_school.name = QStringLiteral("IES Valdeluna");
        m_school.year = QStringLiteral("2025");
        m_school.firstDay = QStringLiteral("15/09/2025");
        m_school.lastDay = QStringLiteral("22/06/2026");
        buildFrames();
        buildCourses();
        buildUnits();
        buildSubjects();
        buildActivities();
        buildTeachers();
        buildRooms();
        buildCatalogues();
        buildPlanning();
        return std::move(m_school);
    }

private:
    // Morning frame listed first here (the example school lists the afternoon
    // first), so both orders of the frame list are exercised.
    void buildFrames()
    {
        m_school.frames = {{QStringLiteral("5102"), QStringLiteral("Jornada de mañana")},
            {QStringLiteral("5103"), QStringLiteral("Jornada de tarde")}};
        const int morning[][2] = {{480, 540}, {540, 600}, {600, 660}, {690, 750}, {750, 810}, {810, 870}, {870, 930}};
        const int afternoon[][2]
            = {{930, 985}, {985, 1040}, {1040, 1095}, {1095, 1150}, {1170, 1225}, {1225, 1280}, {1280, 1335}};
        int code = 700001;
        for (int i = 0; i < 7; ++i) {
            m_school.slots.push_back(
                {QString::number(code++), QStringLiteral("%1ª hora").arg(i + 1), morning[i][0], morning[i][1], 0});
        }
        for (int i = 0; i < 7; ++i) {
            m_school.slots.push_back({QString::number(code++), QStringLiteral("%1ª hora tarde").arg(i + 1),
                afternoon[i][0], afternoon[i][1], 1});
        }
    }

    // Courses follow the catalogue's round of studies; a school larger than one
    // round has further sites ("sede 2", ...) whose levels carry the site number.
    void buildCourses()
    {
        const auto &round = cat::studyCourses();
        for (int i = 0; i < m_sizes.courses; ++i) {
            const int site = i / int(round.size());
            const cat::StudyCourse &study = round[std::size_t(i) % round.size()];
            Course course;
            course.key = QString::number(8001 + i);
            course.level = QString::fromUtf8(study.study);
            QString title = QString::fromUtf8(study.studyTitle);
            course.description = QString::fromUtf8(study.description);
            if (site > 0) {
                course.level += twoDigits(site);
                course.description += QStringLiteral(" (sede %1)").arg(site + 1);
                title += QStringLiteral(" (sede %1)").arg(site + 1);
            }
            course.course = QString::fromUtf8(study.course);
            auto level = std::find_if(
                m_school.levels.begin(), m_school.levels.end(), [&](const Level &l) { return l.key == course.level; });
            if (level == m_school.levels.end()) {
                m_school.levels.push_back({QString::number(101 + int(m_school.levels.size())), course.level, title});
                level = m_school.levels.end() - 1;
            }
            course.levelCode = level->code.toInt();
            m_school.courses.push_back(course);
            m_study.push_back(&study);
        }
    }

    // One unit per course, then the rest shared out with ESO courses taking three
    // times as many; listed by course, as Séneca lists them.
    void buildUnits()
    {
        std::vector<int> perCourse(m_school.courses.size(), 1);
        std::vector<int> wheel;
        for (std::size_t c = 0; c < m_school.courses.size(); ++c) {
            for (int k = 0; k < (m_study[c]->compulsory ? 3 : 1); ++k)
                wheel.push_back(int(c));
        }
        for (int extra = 0; extra < m_sizes.units - int(m_school.courses.size()); ++extra)
            ++perCourse[std::size_t(wheel[std::size_t(extra) % wheel.size()])];
        int key = 70001;
        for (std::size_t c = 0; c < m_school.courses.size(); ++c) {
            const QString siteText = m_school.courses[c].description.contains(QStringLiteral("(sede"))
                ? m_school.courses[c].description.mid(m_school.courses[c].description.lastIndexOf(QLatin1Char('(')))
                : QString();
            for (int k = 0; k < perCourse[c]; ++k) {
                QString name = QStringLiteral("%1 %2").arg(QString::fromUtf8(m_study[c]->unitName), letter(k));
                if (!siteText.isEmpty())
                    name += QLatin1Char(' ') + siteText;
                m_school.units.push_back({QString::number(key++), name, int(c)});
            }
        }
    }

    static QString letter(int k)
    {
        return k < 26 ? QString(QChar(u'A' + k))
                      : QStringLiteral("%1%2").arg(QChar(u'A' + k / 26 - 1)).arg(QChar(u'A' + k % 26));
    }

    // Each course lists its taught subjects and then optional ones nobody teaches,
    // up to its share of the MATERIAS entries.
    void buildSubjects()
    {
        const int courses = int(m_school.courses.size());
        int id = 300001;
        const auto &optional = cat::optionalSubjects();
        for (int c = 0; c < courses; ++c) {
            const int quota = m_sizes.subjects / courses + (c < m_sizes.subjects % courses ? 1 : 0);
            QSet<QString> names;
            int listed = 0;
            for (const cat::CoreSubject &core : m_study[std::size_t(c)]->subjects) {
                if (listed == quota)
                    break;
                const QString name = QString::fromUtf8(core.name);
                m_school.subjects.push_back({c, name, QString::number(id), QString::fromUtf8(core.pattern),
                    cat::departmentIndex(QString::fromUtf8(core.department))});
                id += 3;
                names.insert(name);
                ++listed;
            }
            std::vector<QString> pool = optional;
            m_random.shuffle(pool);
            int free = 0;
            for (std::size_t k = 0; listed < quota; ++k) {
                QString name;
                if (k < pool.size()) {
                    name = pool[k];
                    if (names.contains(name))
                        continue;
                } else {
                    name = QStringLiteral("Libre Configuración %1").arg(++free);
                }
                names.insert(name);
                m_school.subjects.push_back({c, name, QString::number(id), QString(), -1});
                id += 3;
                ++listed;
            }
        }
    }

    // The activities every school has, then further ones of either marker and any
    // pair of requirement flags.
    void buildActivities()
    {
        for (const cat::CoreActivity &a : cat::coreActivities()) {
            m_school.activities.push_back({QString::fromUtf8(a.marker), QString::fromUtf8(a.code),
                QString::fromUtf8(a.name), QString::fromUtf8(a.unitFlag), QString::fromUtf8(a.subjectFlag)});
        }
        for (const Activity &a : m_school.activities) {
            if (a.marker == QLatin1String("N"))
                m_nonRegular.insert(a.code);
        }
        const auto &topics = cat::activityTopics();
        const QString yes = QStringLiteral("S"), no = QStringLiteral("N");
        for (int i = int(m_school.activities.size()); i < m_sizes.activities; ++i) {
            const int n = i - int(cat::coreActivities().size());
            QString name = topics[std::size_t(n) % topics.size()];
            if (n >= int(topics.size()))
                name += QStringLiteral(" (%1)").arg(n / int(topics.size()) + 1);
            m_school.activities.push_back({m_random.percent(60) ? yes : no, QString::number(1000 + n), name,
                m_random.percent(50) ? yes : no, m_random.percent(50) ? yes : no});
            if (m_school.activities.back().marker == no)
                m_nonRegular.insert(m_school.activities.back().code);
        }
    }

    void buildTeachers()
    {
        const auto &surnames = cat::surnames();
        const auto &given = cat::givenNames();
        for (int i = 0; i < m_sizes.teachers; ++i) {
            Teacher t;
            t.id = QString::number(200003 + 7 * i);
            t.takingOfPost = QStringLiteral("01/09/%1").arg(m_random.between(1995, 2025));
            t.surname1 = m_random.pick(surnames);
            // A few teachers from abroad have no second surname.
            t.surname2 = m_random.percent(4) ? QString() : m_random.pick(surnames);
            t.given = m_random.pick(given);
            t.email = QStringLiteral("%1.%2%3@iesvaldeluna.example")
                          .arg(asciiWord(t.given.section(QLatin1Char(' '), 0, 0)), asciiWord(t.surname1))
                          .arg(i + 1);
            m_school.teachers.push_back(t);
        }
    }

    void buildRooms()
    {
        const auto &special = cat::specialRooms();
        for (int i = 0; i < m_sizes.rooms; ++i) {
            QString name;
            if (i % 6 == 5) {
                const int k = i / 6;
                name = special[std::size_t(k) % special.size()];
                if (k >= int(special.size()))
                    name += QStringLiteral(" %1").arg(k / int(special.size()) + 1);
            } else {
                name = QStringLiteral("Aula %1.%2").arg(i / 30 + 1).arg(twoDigits(i % 30 + 1));
            }
            m_school.rooms.push_back({QString::number(95001 + i), name});
        }
    }

    // Origins, levels (built with the courses), courses by level, and which
    // activity may take hours of which origin at which level. Tutoring is
    // authorised in ESO only, where the tutors are; every lesson the school plans
    // finds its authorisation, so the check of its timetable finds no error.
    void buildCatalogues()
    {
        m_school.origins = {{QStringLiteral("1"), QString::fromLatin1(kStaff),
                                QStringLiteral("Horas de la plantilla de funcionamiento")},
            {QStringLiteral("2"), QString::fromLatin1(kReinforcement),
                QStringLiteral("Horas del programa de refuerzo educativo")},
            {QStringLiteral("3"), QString::fromLatin1(kReduction),
                QStringLiteral("Reducción por coordinación o jefatura")},
            {QStringLiteral("4"), QString::fromLatin1(kProgramme),
                QStringLiteral("Horas de planes y programas educativos")}};
        for (const Course &course : m_school.courses)
            m_school.courseLevels.push_back({course.key, QString::number(course.levelCode)});
        int code = 501;
        for (const Level &level : m_school.levels) {
            const bool eso = level.key.startsWith(QLatin1String("ESO"));
            const std::vector<std::pair<const char *, const char *>> allowed
                = {{"1", "1"}, {"21", "1"}, {"376", "2"}, {"34", "1"}, {"35", "1"}, {"48", "3"}, {"50", "3"}};
            for (const auto &[activity, category] : allowed) {
                if (!eso && QLatin1String(activity) == QLatin1String("21"))
                    continue;
                m_school.authorisations.push_back({QString::number(code++), QString::fromLatin1(activity),
                    QString::fromLatin1(category), level.code});
            }
        }
    }

    // ------------------------------------------------------------------ planning

    struct Job {
        int unit;
        int subject;
    };

    QString originName(const QString &key) const
    {
        for (const Origin &o : m_school.origins) {
            if (o.key == key)
                return o.description;
        }
        return QString();
    }

    void add(int teacher, const Assignment &a)
    {
        m_assignments[std::size_t(teacher)].push_back(a);
        // Non-regular hours are held in the afternoon and do not fill the morning.
        if (!m_nonRegular.contains(a.task))
            m_load[std::size_t(teacher)] += weeklyHours(a.pattern);
    }

    Assignment teaching(int unit, int subject, const QString &pattern, const QString &origin, const QString &task) const
    {
        const Unit &u = m_school.units[std::size_t(unit)];
        const Subject &s = m_school.subjects[std::size_t(subject)];
        const Course &c = m_school.courses[std::size_t(u.course)];
        return {s.id, c.key, s.name, u.key, QString::number(c.levelCode), u.name, pattern, origin, originName(origin),
            task};
    }

    Assignment task(
        const QString &code, const QString &pattern, const QString &origin, const QString &level = QString()) const
    {
        return {
            QString(), QString(), QString(), QString(), level, QString(), pattern, origin, originName(origin), code};
    }

    // Which teachers are in the planning, and which department each belongs to,
    // in proportion to the hours each department has to teach.
    void shareTeachers(const std::vector<Job> &jobs)
    {
        const int teachers = int(m_school.teachers.size());
        const int departments = int(cat::departments().size());
        // A few teachers are not in the planning yet (newly arrived, or counsellors),
        // and one is on leave: in the planning, with no assignments.
        const int outside = std::max(1, teachers * 3 / 100);
        const int onLeave = std::max(1, teachers / 50);
        m_inPlanning.assign(std::size_t(teachers), true);
        m_onLeave.assign(std::size_t(teachers), false);
        std::vector<int> order(static_cast<std::size_t>(teachers));
        for (int i = 0; i < teachers; ++i)
            order[std::size_t(i)] = i;
        m_random.shuffle(order);
        for (int k = 0; k < outside; ++k)
            m_inPlanning[std::size_t(order[std::size_t(k)])] = false;
        for (int k = outside; k < outside + onLeave; ++k)
            m_onLeave[std::size_t(order[std::size_t(k)])] = true;

        std::vector<double> demand(std::size_t(departments), 0.0);
        double total = 0;
        for (const Job &job : jobs) {
            const Subject &s = m_school.subjects[std::size_t(job.subject)];
            if (s.department >= 0) {
                demand[std::size_t(s.department)] += weeklyHours(s.pattern);
                total += weeklyHours(s.pattern);
            }
        }
        std::vector<int> working;
        for (int i = 0; i < teachers; ++i) {
            if (m_inPlanning[std::size_t(i)] && !m_onLeave[std::size_t(i)])
                working.push_back(i);
        }
        // Largest remainder, departments by demand.
        std::vector<int> seats(std::size_t(departments), 0);
        std::vector<std::pair<double, int>> remainders;
        int given = 0;
        for (int d = 0; d < departments; ++d) {
            const double exact = total > 0 ? demand[std::size_t(d)] * double(working.size()) / total : 0;
            seats[std::size_t(d)] = int(exact);
            given += int(exact);
            if (demand[std::size_t(d)] > 0)
                remainders.push_back({exact - int(exact) + (seats[std::size_t(d)] == 0 ? 1.0 : 0.0), d});
        }
        std::stable_sort(
            remainders.begin(), remainders.end(), [](const auto &a, const auto &b) { return a.first > b.first; });
        for (std::size_t k = 0; given < int(working.size()) && k < remainders.size(); ++k, ++given)
            ++seats[std::size_t(remainders[k].second)];
        m_departmentTeachers.assign(std::size_t(departments), {});
        std::size_t next = 0;
        for (int d = 0; d < departments && next < working.size(); ++d) {
            for (int k = 0; k < seats[std::size_t(d)] && next < working.size(); ++k)
                m_departmentTeachers[std::size_t(d)].push_back(working[next++]);
        }
        const int counselling = cat::departmentIndex(QStringLiteral("ORI"));
        for (; next < working.size(); ++next)
            m_departmentTeachers[std::size_t(counselling)].push_back(working[next]);
        m_working = working;
        for (int d = 0; d < departments; ++d) {
            for (int t : m_departmentTeachers[std::size_t(d)])
                m_school.teachers[std::size_t(t)].department
                    = QString::fromUtf8(cat::departments()[std::size_t(d)].name);
        }
        for (Teacher &t : m_school.teachers) {
            if (t.department.isEmpty())
                t.department = QString::fromUtf8(m_random.pick(cat::departments()).name);
        }
    }

    // The least busy teacher of the department who still has room, else the least
    // busy teacher of the school.
    int teacherFor(int department, int hours) const
    {
        constexpr int kTeachingCap = 22;
        int best = -1;
        if (department >= 0) {
            for (int t : m_departmentTeachers[std::size_t(department)]) {
                if (m_load[std::size_t(t)] + hours <= kTeachingCap
                    && (best < 0 || m_load[std::size_t(t)] < m_load[std::size_t(best)]))
                    best = t;
            }
        }
        if (best >= 0)
            return best;
        for (int t : m_working) {
            if (best < 0 || m_load[std::size_t(t)] < m_load[std::size_t(best)])
                best = t;
        }
        return best;
    }

    void buildPlanning()
    {
        const int teachers = int(m_school.teachers.size());
        m_assignments.assign(std::size_t(teachers), {});
        m_load.assign(std::size_t(teachers), 0);

        std::vector<std::vector<int>> subjectsOfCourse(m_school.courses.size());
        for (int s = 0; s < int(m_school.subjects.size()); ++s)
            subjectsOfCourse[std::size_t(m_school.subjects[std::size_t(s)].course)].push_back(s);
        std::vector<Job> jobs;
        std::vector<Job> tutorials;
        for (int u = 0; u < int(m_school.units.size()); ++u) {
            for (int s : subjectsOfCourse[std::size_t(m_school.units[std::size_t(u)].course)]) {
                const Subject &subject = m_school.subjects[std::size_t(s)];
                if (subject.pattern.isEmpty())
                    continue;
                (subject.department < 0 ? tutorials : jobs).push_back({u, s});
            }
        }
        shareTeachers(jobs);

        const QString staff = QString::fromLatin1(kStaff);
        std::vector<int> tutor(m_school.units.size(), -1);
        for (const Job &job : jobs) {
            const Subject &s = m_school.subjects[std::size_t(job.subject)];
            const int t = teacherFor(s.department, weeklyHours(s.pattern));
            const bool religion = cat::departments()[std::size_t(s.department)].key == QLatin1String("REL");
            // Religion teachers are hired outside the staff plan: their hours carry no origin.
            add(t, teaching(job.unit, job.subject, s.pattern, religion ? QString() : staff, QStringLiteral("1")));
            if (tutor[std::size_t(job.unit)] < 0 && !religion)
                tutor[std::size_t(job.unit)] = t;
        }
        // ESO tutors teach their unit's Tutoría (activity 21 with the unit).
        for (const Job &job : tutorials) {
            const int t = tutor[std::size_t(job.unit)] >= 0 ? tutor[std::size_t(job.unit)] : teacherFor(-1, 1);
            add(t,
                teaching(job.unit, job.subject, m_school.subjects[std::size_t(job.subject)].pattern, staff,
                    QStringLiteral("21")));
        }
        // Bachillerato has no Tutoría subject: the planning gives the tutor's hour
        // without a subject, and Séneca's requirement of a unit drops that lesson.
        for (int u = 0; u < int(m_school.units.size()); ++u) {
            const Unit &unit = m_school.units[std::size_t(u)];
            if (m_study[std::size_t(unit.course)]->bachillerato && tutor[std::size_t(u)] >= 0) {
                Assignment a = task(QStringLiteral("21"), QStringLiteral("1"), staff,
                    QString::number(m_school.courses[std::size_t(unit.course)].levelCode));
                a.courseKey = m_school.courses[std::size_t(unit.course)].key;
                a.unitKey = unit.key;
                a.unitName = unit.name;
                add(tutor[std::size_t(u)], a);
            }
        }
        addReinforcementAndCoTeaching(subjectsOfCourse);
        addDutiesAndMeetings(tutor);
        addMistakes(jobs);
        assemblePlanning();
    }

    // Reinforcement (activity 376, needs the subject): one unit in four of ESO
    // gets two hours of its mathematics with a second teacher; the first ESO
    // course also gets one without a unit, and so does the first Bachillerato
    // course. One unit in ten has an hour of English
    // co-taught by a second teacher.
    void addReinforcementAndCoTeaching(const std::vector<std::vector<int>> &subjectsOfCourse)
    {
        const QString reinforcement = QString::fromLatin1(kReinforcement);
        const QString staff = QString::fromLatin1(kStaff);
        auto subjectOf = [&](int course, const char *department) {
            for (int s : subjectsOfCourse[std::size_t(course)]) {
                const Subject &subject = m_school.subjects[std::size_t(s)];
                if (subject.department >= 0
                    && cat::departments()[std::size_t(subject.department)].key == QLatin1String(department)
                    && !subject.pattern.isEmpty())
                    return s;
            }
            return -1;
        };
        bool withoutUnit = false, outsideEso = false;
        for (int u = 0; u < int(m_school.units.size()); ++u) {
            const int course = m_school.units[std::size_t(u)].course;
            const cat::StudyCourse &study = *m_study[std::size_t(course)];
            const int maths = subjectOf(course, "MAT");
            if (maths >= 0 && study.compulsory && u % 4 == 1) {
                const int t = teacherFor(m_school.subjects[std::size_t(maths)].department, 2);
                add(t, teaching(u, maths, QStringLiteral("11"), reinforcement, QStringLiteral("376")));
            }
            if (maths >= 0 && ((study.compulsory && !withoutUnit) || (study.bachillerato && !outsideEso))) {
                Assignment a = teaching(u, maths, study.compulsory ? QStringLiteral("11") : QStringLiteral("1"),
                    reinforcement, QStringLiteral("376"));
                a.unitKey.clear();
                a.unitName.clear();
                add(teacherFor(m_school.subjects[std::size_t(maths)].department, 2), a);
                (study.compulsory ? withoutUnit : outsideEso) = true;
            }
            const int english = subjectOf(course, "ING");
            if (english >= 0 && u % 10 == 3) {
                const int t = teacherFor(m_school.subjects[std::size_t(english)].department, 1);
                add(t, teaching(u, english, QStringLiteral("1"), staff, QStringLiteral("1")));
            }
        }
    }

    // Guards for everyone, a head per department, programme coordinators, and the
    // non-regular hours the planning already gives: department meetings for the
    // heads, families for the ESO tutors, and some further meetings.
    void addDutiesAndMeetings(const std::vector<int> &tutor)
    {
        const QString staff = QString::fromLatin1(kStaff);
        const QString level = m_school.levels.empty() ? QString() : m_school.levels.front().code;
        for (std::size_t k = 0; k < m_working.size(); ++k) {
            const int t = m_working[k];
            if (k % 2 == 0)
                add(t,
                    task(QStringLiteral("34"),
                        m_load[std::size_t(t)] < 18 ? QStringLiteral("111") : QStringLiteral("11"), staff));
            else
                add(t, task(QStringLiteral("35"), QStringLiteral("1"), staff));
        }
        for (const auto &members : m_departmentTeachers) {
            if (members.empty())
                continue;
            add(members.front(),
                task(QStringLiteral("50"), QStringLiteral("111"), QString::fromLatin1(kReduction), level));
            add(members.front(), task(QStringLiteral("85"), QStringLiteral("1"), QString()));
        }
        QSet<int> esoTutors;
        for (std::size_t u = 0; u < tutor.size(); ++u) {
            if (tutor[u] >= 0 && m_study[std::size_t(m_school.units[u].course)]->compulsory)
                esoTutors.insert(tutor[u]);
        }
        for (int t : m_working) {
            if (esoTutors.contains(t))
                add(t, task(QStringLiteral("90"), QStringLiteral("1"), QString()));
        }
        // Further activities: meetings for the non-regular ones, programme
        // coordination (no unit, no subject) for the regular ones that need
        // neither; the planning gives the others nobody.
        const auto &activities = m_school.activities;
        for (std::size_t a = cat::coreActivities().size(); a < activities.size(); ++a) {
            const int t = m_working[std::size_t(m_random.below(int(m_working.size())))];
            const Activity &activity = activities[a];
            const bool needsNothing
                = activity.unitFlag == QLatin1String("N") && activity.subjectFlag == QLatin1String("N");
            if (activity.marker == QLatin1String("N"))
                add(t, task(activity.code, QStringLiteral("1"), QString()));
            else if (needsNothing && m_load[std::size_t(t)] < 26)
                add(t, task(activity.code, QStringLiteral("11"), QString::fromLatin1(kProgramme)));
        }
        const int coordinator = m_working[std::size_t(m_random.below(int(m_working.size())))];
        add(coordinator, task(QStringLiteral("48"), QStringLiteral("11"), QString::fromLatin1(kReduction), level));
    }

    // Planning mistakes the converter meets in real schools: a split unit that
    // Séneca does not know (its lessons have no unit and are dropped).
    void addMistakes(const std::vector<Job> &jobs)
    {
        if (jobs.empty())
            return;
        const int count = std::max(1, int(m_school.teachers.size()) / 100);
        for (int k = 0; k < count; ++k) {
            const Job &job = jobs[std::size_t(m_random.below(int(jobs.size())))];
            Assignment a = teaching(
                job.unit, job.subject, QStringLiteral("1"), QString::fromLatin1(kStaff), QStringLiteral("1"));
            a.unitKey = QStringLiteral("99%1").arg(k + 1, 3, 10, QLatin1Char('0'));
            a.unitName = QStringLiteral("Desdoble");
            add(teacherFor(m_school.subjects[std::size_t(job.subject)].department, 1), a);
        }
    }

    // The planning lists the teachers in the staff's order; a teacher who has left
    // the school (not in EMPLEADOS) is still there with an assignment.
    void assemblePlanning()
    {
        const int teachers = int(m_school.teachers.size());
        for (int t = 0; t < teachers; ++t) {
            if (!m_inPlanning[std::size_t(t)])
                continue;
            const Teacher &teacher = m_school.teachers[std::size_t(t)];
            PlanningTeacher p;
            p.id = teacher.id;
            p.fullName = QStringLiteral("%1 %2, %3")
                             .arg(teacher.surname1, teacher.surname2, teacher.given)
                             .replace(QStringLiteral(" ,"), QStringLiteral(","));
            p.post = QStringLiteral("00590%1").arg(int(t % 97), 3, 10, QLatin1Char('0'));
            p.email = teacher.email;
            if (!m_onLeave[std::size_t(t)])
                p.assignments = std::move(m_assignments[std::size_t(t)]);
            m_school.planning.push_back(std::move(p));
            if (t == teachers / 2 && !m_school.units.empty()) {
                PlanningTeacher gone;
                gone.id = QStringLiteral("199999");
                gone.fullName = QStringLiteral("Pineda Roldán, Sergio");
                gone.post = QStringLiteral("00590017");
                gone.email = QStringLiteral("sergio.pineda@iesvaldeluna.example");
                const Unit &u = m_school.units.front();
                for (const Subject &s : m_school.subjects) {
                    if (s.course == u.course && !s.pattern.isEmpty() && s.department >= 0) {
                        gone.assignments.push_back(teaching(0, int(&s - m_school.subjects.data()), QStringLiteral("1"),
                            QString::fromLatin1(kStaff), QStringLiteral("1")));
                        break;
                    }
                }
                m_school.planning.push_back(std::move(gone));
            }
        }
    }

    RandomSource m_random;
    Sizes m_sizes;
    School m_school;
    std::vector<const cat::StudyCourse *> m_study; // per course
    std::vector<std::vector<Assignment>> m_assignments; // per teacher
    std::vector<int> m_load; // regular weekly hours per teacher
    std::vector<bool> m_inPlanning, m_onLeave;
    std::vector<std::vector<int>> m_departmentTeachers;
    std::vector<int> m_working;
    QSet<QString> m_nonRegular; // codes of the activities marked N
};

} // namespace

School generateSchool(std::uint32_t seed, double scale)
{
    return Builder(seed, scale).build();
}

} // namespace school
