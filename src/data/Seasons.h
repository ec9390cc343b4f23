#pragma once

class Date;

// The season of a day, by month and day alone: 0 from 20 March, 1 from 21 June, 2 from
// 22 September, 3 from 21 December to 19 March.
class Seasons
{
public:
    static int Index(const Date& day);
};
