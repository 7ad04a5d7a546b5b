-- I2C master behind two bus registers:
--   +3  write: the byte to send; read: the byte last received
--   +4  write: command; read: status
-- Command bits: 80 start (repeated when the bus is held), 10 write the byte and read the
-- device's acknowledge, 20 read a byte (when 10 is clear), 08 answer that byte with no
-- acknowledge, 40 stop; they run in that order. Status bits: 80 the device did not
-- acknowledge the last byte written, 02 a command is running. Other offsets read 00.
--
-- SCL and SDA are open drain: the core drives 0 or releases the line ('Z') and needs pull-ups
-- outside. One SCL period is four phases of quarter_clocks clocks; a device that holds SCL low
-- stretches the clock.
library ieee;
use ieee.std_logic_1164.all;
use ieee.numeric_std.all;

entity kivo_i2c_controller is
  generic (
    quarter_clocks : positive := 25            -- 100 kHz SCL at a 10 MHz clock
  );
  port (
    clk    : in    std_logic;
    rst    : in    std_logic;
    sel    : in    std_logic;
    offset : in    std_logic_vector(2 downto 0);
    we     : in    std_logic;
    re     : in    std_logic;
    wdata  : in    std_logic_vector(7 downto 0);
    rdata  : out   std_logic_vector(7 downto 0);
    scl    : inout std_logic;
    sda    : inout std_logic
  );
end entity;

architecture rtl of kivo_i2c_controller is
  constant data_offset    : natural := 3;
  constant command_offset : natural := 4;

  type step_t is (idle, start_cond, bits, stop_cond);
  signal step      : step_t := idle;
  signal quarter   : natural range 0 to 3 := 0;
  signal tick_count : natural range 0 to quarter_clocks - 1 := 0;
  signal command   : std_logic_vector(7 downto 0) := (others => '0');
  signal tx        : std_logic_vector(7 downto 0) := (others => '0');
  signal rx        : std_logic_vector(7 downto 0) := (others => '0');
  signal shift     : std_logic_vector(8 downto 0) := (others => '1');
  signal bit_count : natural range 0 to 8 := 0;
  signal no_ack    : std_logic := '0';
  signal scl_low, sda_low : std_logic := '0';
  signal busy      : std_logic;
begin
  scl <= '0' when scl_low = '1' else 'Z';
  sda <= '0' when sda_low = '1' else 'Z';
  busy <= '0' when step = idle else '1';

  process (clk)
    variable next_step : step_t;
  begin
    if rising_edge(clk) then
      if rst = '1' then
        step <= idle;
        quarter <= 0;
        tick_count <= 0;
        no_ack <= '0';
        scl_low <= '0';
        sda_low <= '0';
      elsif step = idle then
        if sel = '1' and we = '1' and to_integer(unsigned(offset)) = data_offset then
          tx <= wdata;
        elsif sel = '1' and we = '1' and to_integer(unsigned(offset)) = command_offset then
          command <= wdata;
          quarter <= 0;
          tick_count <= 0;
          if wdata(7) = '1' then
            step <= start_cond;
          elsif wdata(4) = '1' or wdata(5) = '1' then
            step <= bits;
          elsif wdata(6) = '1' then
            step <= stop_cond;
          end if;
          -- The byte and the acknowledge slot, nine bits: the device's acknowledge is read
          -- with SDA released; a read releases SDA for the eight data bits and then answers.
          if wdata(4) = '1' then
            shift <= tx & '1';
          else
            shift <= x"FF" & wdata(3);
          end if;
          bit_count <= 0;
        end if;
      elsif tick_count /= quarter_clocks - 1 then
        tick_count <= tick_count + 1;
      elsif quarter = 1 and to_X01(scl) = '0' and scl_low = '0' then
        null;   -- the device stretches the clock
      else
        tick_count <= 0;
        quarter <= (quarter + 1) mod 4;
        next_step := step;
        case step is
          when start_cond =>
            -- From an idle bus or, held after a byte, as a repeated start.
            case quarter is
              when 0 => sda_low <= '0';
              when 1 => scl_low <= '0';
              when 2 => sda_low <= '1';
              when 3 =>
                scl_low <= '1';
                if command(4) = '1' or command(5) = '1' then
                  next_step := bits;
                elsif command(6) = '1' then
                  next_step := stop_cond;
                else
                  next_step := idle;
                end if;
            end case;
          when bits =>
            case quarter is
              when 0 => sda_low <= not shift(8);
              when 1 => scl_low <= '0';
              when 2 =>
                shift <= shift(7 downto 0) & to_X01(sda);
              when 3 =>
                scl_low <= '1';
                if bit_count = 8 then
                  if command(4) = '1' then
                    no_ack <= shift(0);         -- the acknowledge bit just sampled
                  else
                    rx <= shift(8 downto 1);
                    no_ack <= '0';
                  end if;
                  sda_low <= '0';
                  if command(6) = '1' then
                    next_step := stop_cond;
                  else
                    next_step := idle;
                  end if;
                else
                  bit_count <= bit_count + 1;
                end if;
            end case;
          when stop_cond =>
            case quarter is
              when 0 => sda_low <= '1';
              when 1 => scl_low <= '0';
              when 2 => sda_low <= '0';
              when 3 => next_step := idle;
            end case;
          when idle =>
            null;
        end case;
        step <= next_step;
      end if;
    end if;
  end process;

  process (clk)
  begin
    if rising_edge(clk) then
      if re = '1' and sel = '1' then
        case to_integer(unsigned(offset)) is
          when data_offset    => rdata <= rx;
          when command_offset => rdata <= no_ack & "00000" & busy & '0';
          when others         => rdata <= x"00";
        end case;
      end if;
    end if;
  end process;
end architecture;
